#include "ui/FormCom.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSettings>
#include <QShowEvent>
#include <array>
#include <cctype>

#include "link/ComPorts.h"

const char* const TFormComPort::kSettingsKey = "DefaultComPort";

namespace {

// Digits only, no sign or blanks; 0 when empty, not a number or too large to matter.
int DecimalOrZero(const std::string& text) {
    if (text.empty() || text.size() > 9)
        return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

QSettings RememberedStore() {
    return QSettings(QStringLiteral("Zorvex_Prog"), QStringLiteral("Settings"));
}

// The ports the system reports now, with the device behind each number.
std::vector<SystemPort> PortsFromLink() {
    std::vector<SystemPort> ports;
    for (const ComPortInfo& entry : EnumerateComPorts()) {
        ports.push_back({"COM" + std::to_string(entry.number), entry.device});
    }
    return ports;
}

} // namespace

int ComPortNumber(const std::string& name) {
    if (name.size() < 3)
        return 0;
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.compare(0, 3, "COM") != 0)
        return 0;
    const int n = DecimalOrZero(upper.substr(3));
    return (n >= 1 && n <= 255) ? n : 0;
}

TFormComPort::TFormComPort(QWidget* parent) : QDialog(parent), source_(PortsFromLink) {
    setWindowTitle(QStringLiteral("COM порт"));
    // A dialog does not inherit its owner's font.
    QFont font(QStringLiteral("Tahoma"), 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    ComboBoxCOM = new QComboBox(this);
    ComboBoxCOM->setObjectName(QStringLiteral("ComboBoxCOM"));
    ComboBoxCOM->setEditable(false);
    ComboBoxCOM->setMinimumWidth(110);
    BitBtnOk = new QPushButton(QStringLiteral("Выбрать"), this);
    BitBtnOk->setObjectName(QStringLiteral("BitBtnOk"));
    BitBtnOk->setDefault(true);
    BitBtnCancell = new QPushButton(QStringLiteral("Отменить"), this);
    BitBtnCancell->setObjectName(QStringLiteral("BitBtnCancell"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ComboBoxCOM, 1);
    layout->addWidget(BitBtnOk);
    layout->addWidget(BitBtnCancell);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ComboBoxCOM, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_ == 0)
            ComboBoxCOMChange();
    });
    connect(BitBtnOk, &QPushButton::clicked, this, [this] {
        BitBtnOkClick();
        accept();
    });
    connect(BitBtnCancell, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormComPort::SetPortSource(PortSource source) {
    source_ = std::move(source);
}

bool TFormComPort::BuildPortList() {
    const QString remembered = RememberedStore().value(QLatin1String(kSettingsKey)).toString();

    std::array<bool, 256> present{};
    std::array<std::string, 256> device{};
    const std::vector<SystemPort> ports = source_ ? source_() : std::vector<SystemPort>{};
    for (const SystemPort& port : ports) {
        const int n = ComPortNumber(port.name);
        if (n == 0)
            continue;
        if (!present[n])
            device[n] = port.device;
        present[n] = true;
    }

    ++filling_;
    ComboBoxCOM->clear();
    for (int n = 1; n <= 255; ++n) {
        if (!present[n])
            continue;
        const QString text = QStringLiteral("COM%1").arg(n);
        ComboBoxCOM->addItem(text);
        const int item = ComboBoxCOM->count() - 1;
        if (!device[n].empty()) {
            ComboBoxCOM->setItemData(item, QString::fromStdString(device[n]), Qt::ToolTipRole);
        }
        if (item == 0 || text == remembered) {
            ComboBoxCOM->setCurrentIndex(item);
            chosen_port = n;
        }
    }
    --filling_;
    const bool listed = ComboBoxCOM->findText(remembered, Qt::MatchExactly) >= 0;
    missing_remembered = remembered.isEmpty() || listed ? QString() : remembered;
    ComboBoxCOM->setToolTip(ComboBoxCOM->currentData(Qt::ToolTipRole).toString());
    return true;
}

void TFormComPort::ComboBoxCOMChange() {
    const std::string text = ComboBoxCOM->currentText().toStdString();
    const int n = text.size() > 3 ? DecimalOrZero(text.substr(3)) : 0;
    chosen_port = (n >= 1 && n <= 255) ? n : 0;
    ComboBoxCOM->setToolTip(ComboBoxCOM->currentData(Qt::ToolTipRole).toString());
}

void TFormComPort::BitBtnOkClick() {
    QSettings store = RememberedStore();
    store.setValue(QLatin1String(kSettingsKey), ComboBoxCOM->currentText());
    store.sync();
}

void TFormComPort::FormShow() {
    const int previous = chosen_port;
    BuildPortList();
    ++filling_;
    if (ComboBoxCOM->count() > 0) {
        ComboBoxCOM->setCurrentIndex(0);
        if (previous >= 1 && previous <= 255) {
            const int item = ComboBoxCOM->findText(QStringLiteral("COM%1").arg(previous));
            if (item >= 0)
                ComboBoxCOM->setCurrentIndex(item);
        }
    }
    --filling_;
    if (ComboBoxCOM->currentIndex() >= 0)
        ComboBoxCOMChange();
    ComboBoxCOM->setFocus();
}

void TFormComPort::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}
