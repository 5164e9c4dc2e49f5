#include "cli/OutputClash.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "files/ImageFiles.h"
#include "files/SameFile.h"

namespace fs = std::filesystem;

namespace {

struct Named {
    fs::path path;
    std::string role;
};

std::vector<Named> ImagesIn(const std::string& dir, const std::string& role) {
    std::vector<Named> images;
    if (!dir.empty()) {
        for (const char* name : {CHANNELS_0_99_FILE, CHANNELS_100_199_FILE, SETTINGS_FILE}) {
            images.push_back({fs::path(dir) / name, role});
        }
    }
    return images;
}

} // namespace

std::string FindOutputClash(const CliOptions& o) {
    std::vector<Named> inputs;
    std::vector<Named> outputs;
    const auto add = [](std::vector<Named>& to, std::vector<Named> more) {
        for (Named& n : more) {
            to.push_back(std::move(n));
        }
    };
    if (o.command == "export" && o.operands.size() == 2) {
        inputs.push_back({o.operands[0], "the configuration"});
        outputs.push_back({o.operands[1], "the spreadsheet"});
    } else if (o.command == "import" && o.operands.size() == 2) {
        inputs.push_back({o.operands[0], "the configuration"});
        inputs.push_back({o.operands[1], "the channel list"});
        outputs.push_back({o.output, "the new configuration"});
    } else if (o.command == "image" && o.operands.size() == 2) {
        if (o.subcommand == "build") {
            inputs.push_back({o.operands[0], "the configuration"});
            add(outputs, ImagesIn(o.operands[1], "an image"));
        } else {
            add(inputs, ImagesIn(o.operands[0], "an image"));
            outputs.push_back({o.operands[1], "the configuration"});
        }
    } else if (o.command == "read") {
        outputs.push_back({o.output, "the configuration"});
        add(outputs, ImagesIn(o.images, "an image"));
    } else if (o.command == "write" && o.operands.size() == 1) {
        inputs.push_back({o.operands[0], "the configuration"});
        add(outputs, ImagesIn(o.images, "an image"));
    }
    if (!o.simState.empty()) {
        inputs.push_back({o.simState, "the simulated radio's state"});
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const Named& out = outputs[i];
        if (out.path.empty() || out.path == "-") {
            continue;
        }
        for (const Named& in : inputs) {
            if (SameFile(out.path, in.path)) {
                return "'" + out.path.string() + "' is " + in.role + " this command reads; " +
                       out.role + " would replace it: nothing done";
            }
        }
        for (std::size_t k = i + 1; k < outputs.size(); ++k) {
            if (SameFile(out.path, outputs[k].path)) {
                return "'" + out.path.string() + "' is given for " + out.role + " and for " +
                       outputs[k].role + ": nothing done";
            }
        }
    }
    return {};
}
