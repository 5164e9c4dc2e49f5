#pragma once

#include <string>

// The log line for an error code left by the transfer worker (Windows-1251 text);
// unknown codes give "Ошибка !!!".
std::string LinkErrorMessage(int code);
