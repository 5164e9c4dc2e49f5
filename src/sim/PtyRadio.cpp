#include "sim/PtyRadio.h"
PtyRadio::PtyRadio(SimulatedRadio& radio, Pacing pacing) : radio_(radio), pacing_(pacing) {}
PtyRadio::~PtyRadio() {
    Stop();
}
bool PtyRadio::Start() {
    error_ = "not implemented";
    return false;
}
void PtyRadio::Stop() {}
void PtyRadio::Serve() {}
