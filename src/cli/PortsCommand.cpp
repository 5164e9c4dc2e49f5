#include "cli/CliCommands.h"
#include "cli/ExitStatus.h"
#include "cli/JsonWriter.h"
#include "cli/TerminalText.h"
#include "link/ComPorts.h"

namespace {

// "COM33<tab>/dev/ttyUSB0<tab>0403:6001 FTDI FT232R USB UART serial A50285BI<tab>/dev/serial/
// by-id/usb-...", the fields after the device only when known; "missing" for an override
// whose device is absent. Texts from the adapter are shown with their controls escaped.
std::string PortLine(const ComPortInfo& port) {
    std::string line = "COM" + std::to_string(port.number) + '\t' + EscapeControls(port.device);
    if (!port.present) {
        return line + "\tmissing";
    }
    if (port.IsUsb()) {
        std::string usb = port.usbVendorId + ":" + port.usbProductId;
        for (const std::string* text : {&port.usbManufacturer, &port.usbProduct}) {
            if (!text->empty()) {
                usb += " " + *text;
            }
        }
        if (!port.usbSerial.empty()) {
            usb += " serial " + port.usbSerial;
        }
        line += '\t' + EscapeControls(usb, false);
    }
    if (!port.byIdPath.empty()) {
        line += '\t' + EscapeControls(port.byIdPath, false);
    }
    return line;
}

void OptionalString(JsonWriter& json, const char* key, const std::string& text) {
    json.Key(key);
    if (text.empty()) {
        json.Null();
    } else {
        json.String(text);
    }
}

std::string PortsJson(const std::vector<ComPortInfo>& ports) {
    JsonWriter json;
    json.BeginObject().Key("ports").BeginArray();
    for (const ComPortInfo& port : ports) {
        json.BeginObject();
        json.Key("name").String("COM" + std::to_string(port.number));
        json.Key("number").Number(port.number);
        json.Key("device").String(port.device);
        json.Key("present").Bool(port.present);
        json.Key("overridden").Bool(port.overridden);
        json.Key("usb");
        if (port.IsUsb()) {
            json.BeginObject();
            json.Key("vendor_id").String(port.usbVendorId);
            json.Key("product_id").String(port.usbProductId);
            OptionalString(json, "manufacturer", port.usbManufacturer);
            OptionalString(json, "product", port.usbProduct);
            OptionalString(json, "serial", port.usbSerial);
            json.EndObject();
        } else {
            json.Null();
        }
        OptionalString(json, "by_id", port.byIdPath);
        json.EndObject();
    }
    json.EndArray().EndObject();
    return json.Text();
}

} // namespace

int RunPortsCommand(const CliOptions& o, CliContext& c) {
    const std::vector<ComPortInfo> ports = DescribeComPorts();
    if (o.json) {
        c.out << PortsJson(ports);
    } else {
        for (const ComPortInfo& port : ports) {
            c.out << PortLine(port) << '\n';
        }
    }
    c.out.flush();
    if (!c.out) {
        return CliFail(c, EXIT_STATUS_FILE, "standard output: the list could not be written");
    }
    return EXIT_STATUS_OK;
}
