#include "link/ComPorts.h"
std::string ComPortDevice(int) {
    return {};
}
int ComPortNumberForDevice(const std::string&) {
    return 0;
}
bool SetComPortOverride(int, const std::string&) {
    return false;
}
void ClearComPortOverrides() {}
int FreeComPortNumber() {
    return 0;
}
std::vector<ComPortInfo> EnumerateComPorts() {
    return {};
}
