#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

// Parses a JSON document with python3's json module (an independent parser) and returns
// what the Python expression prints, d being the document; "INVALID" when it does not parse.
inline std::string PythonJson(const std::string& document, const std::string& expression) {
    char path[] = "/tmp/zorvex-json-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        return "NO TEMPORARY FILE";
    }
    close(fd);
    {
        std::ofstream out(path, std::ios::binary);
        out << document;
    }
    const std::string script = std::string(path) + ".py";
    {
        std::ofstream out(script);
        out << "import json, sys\n"
               "try:\n"
               "    d = json.load(open(sys.argv[1], encoding='utf-8'),\n"
               "                  parse_constant=lambda c: 1 / 0)\n"
               "except Exception:\n"
               "    print('INVALID')\n"
               "    sys.exit(0)\n"
               "print("
            << expression << ")\n";
    }
    const std::string command = "/usr/bin/python3 " + script + " " + path;
    std::string result;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) {
            result.append(buffer, n);
        }
        pclose(p);
    }
    std::remove(path);
    std::remove(script.c_str());
    while (!result.empty() && result.back() == '\n') {
        result.pop_back();
    }
    return result;
}
