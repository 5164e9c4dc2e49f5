#include "operations/OperationPreset.h"

#include "model/Cp1251.h"
#include "operations/OperationDriver.h"

OperationPreset PresetForMode(int32_t mode) {
    switch (mode) {
    case MODE_IDENTIFY:
        return {Utf8ToCp1251("Информация ..."), 0x008000, 35};
    case MODE_READ:
        return {Utf8ToCp1251("Чтение ..."), 0x008000, 35};
    case MODE_WRITE:
        return {Utf8ToCp1251("Запись ..."), 0x0000FF, 70};
    case MODE_RESTORE:
        return {Utf8ToCp1251("Восстановление из резервной копии ..."), 0x0000FF, 70};
    default:
        return {};
    }
}
