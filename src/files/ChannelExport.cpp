#include "files/ChannelExport.h"

#include <exception>

#include "files/ExcelWrapper.h"
#include "model/Cp1251.h"

namespace {

void ExportSheet(const ChannelsContext& channels, const std::filesystem::path& file) {
    TExcelWrapper excel;
    excel.NewWorkbook();
    excel.SelectSheet(1);
    excel.SetPrintTitleRows("$1:$2");
    excel.SetSheetName(Utf8ToCp1251("Таблица каналов"));

    excel.SelectRange(1, 1, 2, 1, true);
    excel.SetText(Utf8ToCp1251("Канал"));
    excel.SetColumnWidth(10);
    excel.SetAlignment(XL_CENTER, XL_CENTER);
    excel.SetBorders(XL_THICK, XL_THICK, XL_THICK, XL_THICK);

    excel.SelectRange(1, 2, 1, 3, true);
    excel.SetText(Utf8ToCp1251("Частота, Гц"));
    excel.SetAlignment(XL_CENTER, XL_CENTER);
    excel.SetBorders(XL_THICK, XL_THICK, XL_THICK, XL_THIN);

    excel.SelectCell(2, 2);
    excel.SetText(Utf8ToCp1251("приема"));
    excel.SetAlignment(XL_CENTER, XL_CENTER);
    excel.SetBorders(XL_THICK, XL_THIN, XL_THIN, XL_THICK);
    excel.SetColumnWidth(20);

    excel.SelectCell(2, 3);
    excel.SetText(Utf8ToCp1251("передачи"));
    excel.SetAlignment(XL_CENTER, XL_CENTER);
    excel.SetBorders(XL_THIN, XL_THIN, XL_THICK, XL_THICK);
    excel.SetColumnWidth(20);

    int row = 3;
    bool groupStart = true;
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        const Channel& channel = channels.channels[static_cast<std::size_t>(i)];
        if (!channel.IsUsed()) {
            groupStart = true;
            continue;
        }
        const int top = groupStart ? XL_THICK : XL_THIN;

        excel.SelectCell(row, 1);
        excel.SetNumber(i);
        excel.SetAlignment(XL_CENTER, XL_CENTER);
        excel.SetBorders(XL_THICK, top, XL_THICK, XL_THIN);

        if (channel.IsSimplex()) {
            excel.SelectRange(row, 2, row, 3, true);
            if (channel.HasRx()) {
                excel.SetNumber(channel.freq_rx, FREQ_NUMBER_FORMAT);
            }
            excel.SetAlignment(XL_CENTER, XL_CENTER);
            excel.SetBorders(XL_THICK, top, XL_THICK, XL_THIN);
        } else {
            excel.SelectCell(row, 2);
            if (channel.HasRx()) {
                excel.SetNumber(channel.freq_rx, FREQ_NUMBER_FORMAT);
            }
            excel.SetAlignment(XL_CENTER, XL_CENTER);
            excel.SetBorders(XL_THICK, top, XL_THIN, XL_THIN);
            excel.SelectCell(row, 3);
            if (channel.HasTx()) {
                excel.SetNumber(channel.freq_tx, FREQ_NUMBER_FORMAT);
            }
            excel.SetAlignment(XL_CENTER, XL_CENTER);
            excel.SetBorders(XL_THIN, top, XL_THICK, XL_THIN);
        }
        groupStart = false;
        ++row;
    }

    excel.SelectRange(row, 1, row, 3, false);
    excel.SetBorders(0, XL_THICK, 0, 0);

    excel.SaveWorkbook(file, XL_WORKBOOK);
}

} // namespace

ExportResult ExportChannels(const ChannelsContext& channels, const std::filesystem::path& file) {
    ExportResult result;
    result.caption = Utf8ToCp1251("Экспорт в Excel");
    try {
        ExportSheet(channels, file);
        result.ok = true;
        result.message = Utf8ToCp1251("Экспорт прошел успешно.");
    } catch (const std::exception& error) {
        result.ok = false;
        result.message = Utf8ToCp1251("Ошибка при экспорте!!!");
        result.reason = Utf8ToCp1251(error.what());
    }
    return result;
}
