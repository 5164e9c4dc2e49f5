#include "model/FlagCaptions.h"

#include "model/Cp1251.h"

FlagCaptions DefaultFlagCaptions() {
    FlagCaptions captions;
    for (size_t n = 0; n < captions.size(); ++n) {
        captions[n] = Utf8ToCp1251("Ф") + static_cast<char>('0' + n);
    }
    return captions;
}

FlagCaptions FlagCaptionsForOptions(const uint8_t* options) {
    FlagCaptions captions = DefaultFlagCaptions();
    if (options != nullptr && (options[2] & 0x40) != 0) {
        captions[0] = Utf8ToCp1251("Ф0. Задействовать волновую сеть");
        captions[1] = Utf8ToCp1251("Ф1. Ретрансляция УКВ - волновая сеть");
    }
    return captions;
}
