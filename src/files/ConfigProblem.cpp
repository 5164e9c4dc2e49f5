#include "files/ConfigProblem.h"

#include "model/Cp1251.h"

namespace {

std::string Where(const ConfigProblem& p, const char* channelWord) {
    std::string where = p.channel >= 0 ? channelWord + std::to_string(p.channel) : p.element;
    if (!p.field.empty() && p.kind != ConfigProblemKind::UnknownElement) {
        where += (where.empty() ? "" : ": ") + p.field;
    }
    return where;
}

} // namespace

std::string ConfigProblemText(const ConfigProblem& p) {
    const std::string where = Where(p, "channel ");
    switch (p.kind) {
    case ConfigProblemKind::NotANumber:
        return where + ": \"" + p.text + "\" is not a number, read as " + p.readAs;
    case ConfigProblemKind::UnknownElement:
        return where + ": element \"" + p.field + "\" is not part of the format, skipped";
    case ConfigProblemKind::RepeatedElement:
        return where + ": given again, the first one is used";
    case ConfigProblemKind::ChannelWithoutSlot:
        return p.text.empty() ? where + ": no id, skipped"
                              : where + ": id \"" + p.text + "\" is not a slot number, skipped";
    case ConfigProblemKind::SlotOutOfRange:
        return where + ": slot " + p.text + " is outside 0-199, skipped";
    case ConfigProblemKind::SlotRepeated:
        return where + ": slot given again (first at line " + p.readAs + "), this one replaces it";
    case ConfigProblemKind::Utf8DeclaredAs1251:
        return "the file declares encoding windows-1251 but is written in UTF-8: its texts "
               "read as garbled characters";
    }
    return where;
}

std::string ConfigProblemTextRu(const ConfigProblem& p) {
    const std::string where = Where(p, "канал ");
    std::string text;
    switch (p.kind) {
    case ConfigProblemKind::NotANumber:
        text = where + ": «" + p.text + "» — не число, прочитано " + p.readAs;
        break;
    case ConfigProblemKind::UnknownElement:
        text = where + ": элемент «" + p.field + "» не входит в формат, пропущен";
        break;
    case ConfigProblemKind::RepeatedElement:
        text = where + ": задано повторно, взято первое значение";
        break;
    case ConfigProblemKind::ChannelWithoutSlot:
        text = p.text.empty() ? where + ": нет номера ячейки (id), пропущен"
                              : where + ": «" + p.text + "» — не номер ячейки (id), пропущен";
        break;
    case ConfigProblemKind::SlotOutOfRange:
        text = where + ": ячейка " + p.text + " вне 0-199, пропущена";
        break;
    case ConfigProblemKind::SlotRepeated:
        text = where + ": ячейка задана повторно (впервые в строке " + p.readAs + "), взята эта";
        break;
    case ConfigProblemKind::Utf8DeclaredAs1251:
        text = "файл объявлен в кодировке windows-1251, но записан в UTF-8: тексты прочитаны "
               "искажёнными";
        break;
    }
    return Utf8ToCp1251(text);
}
