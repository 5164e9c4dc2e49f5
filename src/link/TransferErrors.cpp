#include "link/TransferErrors.h"

int TransferErrorForRadioCode(unsigned radioCode) {
    switch (radioCode) {
    case 0:
        return TRANSFER_UNKNOWN_COMMAND;
    case 1:
        return TRANSFER_CHECKSUM;
    case 2:
        return TRANSFER_NOT_AVAILABLE;
    case 3:
        return TRANSFER_DATA;
    case 4:
        return TRANSFER_SEQUENCE;
    case 5:
        return TRANSFER_COMPATIBILITY;
    default:
        return TRANSFER_OTHER;
    }
}
