// Reading and writing the [clash] section.
#include "app/clash_settings.h"

#include "app/data_file.h"
#include "app/ini_file.h"
#include "app/sjis.h"

#include <cmath>
#include <cstdio>

namespace hk {
namespace {

constexpr const char* cSection = "clash";

std::string Text(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// "file: line N: [clash] key=value": the start of a notice about a key's value.
std::string Place(const TIniFile& ini, const char* key, const std::string& value) {
    return ini.Path().string() + ": line " + std::to_string(ini.LineOf(cSection, key)) +
           ": [clash] " + key + "=" + SjisToUtf8(value);
}

// The key's value as a number of 0 or more; the fallback, with a notice, for anything else.
double ReadLength(const TIniFile& ini, const char* key, double fallback,
                  std::vector<std::string>& notices) {
    if (!ini.ValueExists(cSection, key))
        return fallback;
    const std::string value = ini.ReadString(cSection, key, "");
    double v = 0;
    if (TryParseFloat(value, v) && std::isfinite(v) && v >= 0)
        return v;
    notices.push_back(Place(ini, key, value) + " is not a length of 0 or more; " + Text(fallback) +
                      " is used");
    return fallback;
}

} // namespace

TClashSettings ReadClashSettings(const TIniFile& ini, std::vector<std::string>& notices) {
    TClashSettings settings;
    settings.tolerance = ReadLength(ini, "tolerance", settings.tolerance, notices);
    settings.clearance = ReadLength(ini, "clearance", settings.clearance, notices);
    if (ini.ValueExists(cSection, "connected")) {
        const std::string value = ini.ReadString(cSection, "connected", "");
        if (value == "0" || value == "1")
            settings.connected = value == "1";
        else
            notices.push_back(Place(ini, "connected", value) + " is neither 1 nor 0; 1 is used");
    }
    return settings;
}

void WriteClashSettings(TIniFile& ini, const TClashSettings& settings) {
    ini.WriteString(cSection, "tolerance", Text(settings.tolerance));
    ini.WriteString(cSection, "clearance", Text(settings.clearance));
    ini.WriteBool(cSection, "connected", settings.connected);
}

} // namespace hk
