#include "cli/CheckCommand.h"

#include "cli/ExitStatus.h"
#include "cli/JsonWriter.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "files/RangeListFile.h"
#include "model/ChannelsContext.h"
#include "model/FlagCaptions.h"
#include "model/SettingsContext.h"

std::string ConfigProblemLine(const std::string& file, const ConfigProblem& problem) {
    std::string line = file + ":";
    if (problem.line > 0) {
        line += std::to_string(problem.line) + ":";
    }
    return line + " " + ConfigProblemText(problem);
}

namespace {

const char* ProblemKindName(ConfigProblemKind kind) {
    switch (kind) {
    case ConfigProblemKind::NotANumber:
        return "not_a_number";
    case ConfigProblemKind::UnknownElement:
        return "unknown_element";
    case ConfigProblemKind::RepeatedElement:
        return "repeated_element";
    case ConfigProblemKind::ChannelWithoutSlot:
        return "channel_without_slot";
    case ConfigProblemKind::SlotOutOfRange:
        return "slot_out_of_range";
    case ConfigProblemKind::SlotRepeated:
        return "slot_repeated";
    case ConfigProblemKind::Utf8DeclaredAs1251:
        return "utf8_declared_as_windows_1251";
    }
    return "other";
}

void WriteCheckJson(std::ostream& out, const std::string& file, const ConfigOpenResult& result) {
    JsonWriter json;
    json.BeginObject().Key("file").String(file).Key("problems").BeginArray();
    for (const ConfigProblem& p : result.problems) {
        json.BeginObject();
        json.Key("line");
        p.line > 0 ? json.Number(p.line) : json.Null();
        json.Key("kind").String(ProblemKindName(p.kind));
        json.Key("channel");
        p.channel >= 0 ? json.Number(p.channel) : json.Null();
        json.Key("element").String(p.element);
        json.Key("field").String(p.field);
        json.Key("text").String(p.text);
        json.Key("read_as").String(p.readAs);
        json.Key("message").String(ConfigProblemText(p));
        json.EndObject();
    }
    json.EndArray().Key("removed").BeginArray();
    for (const RemovedChannel& c : result.removed) {
        json.BeginObject().Key("slot").Number(c.slot).Key("freq_rx").Number(c.freq_rx);
        json.Key("freq_tx").Number(c.freq_tx).EndObject();
    }
    json.EndArray().EndObject();
    out << json.Text();
}

} // namespace

int RunCheckCommand(const std::string& file, CliContext& context, bool json) {
    // The same range list as the other commands, read only.
    ChannelsContext channels;
    LoadRangeListFile(channels.ranges, LocateRangeList(context.exeDir).readFrom);
    channels.ranges.Select(0);
    SettingsContext settings;
    FlagCaptions captions = DefaultFlagCaptions();
    ConfigOpenResult result;
    try {
        result = OpenConfigFile(file, channels, settings, captions);
    } catch (const FileError& e) {
        return CliFail(context, EXIT_STATUS_FILE, file + ": " + e.what());
    }
    const int status =
        result.problems.empty() && result.removed.empty() ? EXIT_STATUS_OK : EXIT_STATUS_FAILED;
    if (json) {
        WriteCheckJson(context.out, file, result);
        return status;
    }
    for (const ConfigProblem& problem : result.problems) {
        context.out << ConfigProblemLine(file, problem) << '\n';
    }
    for (const RemovedChannel& c : result.removed) {
        context.out << file << ": channel " << c.slot << ": outside the range set (rx " << c.freq_rx
                    << " Hz, tx " << c.freq_tx << " Hz), removed\n";
    }
    return status;
}
