#include "operations/LinkErrorMessage.h"

#include "model/Cp1251.h"

std::string LinkErrorMessage(int code) {
    const char* text;
    switch (code) {
    case 17:
        text = "Ошибка контрольной суммы !!!";
        break;
    case 18:
        text = "Ошибка Неверный ответ !!!";
        break;
    case 19:
        text = "Ошибка длины блока!!!";
        break;
    case 20:
        text = "Ошибка сигнатуры!!!";
        break;
    case 21:
        text = "Ошибка установки скорости обмена!!!";
        break;
    case 22:
        text = "Ошибка указателя на буфер!!!";
        break;
    case 23:
        text = "Ошибка Несовпадение данных при сравнении!!!";
        break;
    case 24:
        text = "Ошибка Ответ не получен за отведенное время!!!";
        break;
    case 25:
        text = "Ошибка Неизвестная команда!!!";
        break;
    case 26:
        text = "Ошибка не доступно!!!";
        break;
    case 27:
        text = "Ошибка данных!!!";
        break;
    case 28:
        text = "Ошибка последовательности команд!!!";
        break;
    case 29:
        text = "Ошибка совместимости!!!";
        break;
    default:
        text = "Ошибка !!!";
        break;
    }
    return Utf8ToCp1251(text);
}
