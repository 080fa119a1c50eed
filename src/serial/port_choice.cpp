#include "serial/port_choice.h"

#include <algorithm>

namespace korvex::serial {

namespace {

constexpr std::size_t kMaxDevicePathLength = 1024;

bool listed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::vector<std::string> PortLists::usbPorts() const {
    std::vector<std::string> out;
    for (std::size_t position : usbPositions) out.push_back(ports[position]);
    return out;
}

PortLists buildPortLists(const std::vector<std::string>& addedPorts, const std::vector<PortEntry>& systemPorts) {
    std::vector<PortEntry> entries;
    for (const std::string& path : addedPorts) {
        const bool known = std::any_of(entries.begin(), entries.end(), [&](const PortEntry& e) { return e.path == path; });
        if (!known && !path.empty()) entries.push_back({path, false});
    }
    for (const PortEntry& system : systemPorts) {
        if (system.path.empty()) continue;
        auto same = std::find_if(entries.begin(), entries.end(), [&](const PortEntry& e) { return e.path == system.path; });
        if (same != entries.end())
            same->usbAttached = same->usbAttached || system.usbAttached;
        else
            entries.push_back(system);
    }
    PortLists lists;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        lists.ports.push_back(entries[i].path);
        if (entries[i].usbAttached && lists.usbPositions.size() < kMaxUsbPorts) lists.usbPositions.push_back(i);
    }
    return lists;
}

void enumerateSerialPorts(SerialPorts& state, PortSource& source, std::int32_t deviceKind) {
    state.lists = buildPortLists(state.addedPorts, source.systemPorts());
    state.settings.baudIndex = defaultBaudIndex(deviceKind);
}

void prepareForTransfer(SerialPorts& state, PortSource& source) {
    state.lists = buildPortLists(state.addedPorts, source.systemPorts());
    if (state.lists.usbPositions.size() == 1) {
        state.settings.portIndex = static_cast<int>(state.lists.usbPositions.front());
        state.settings.settingsChosen = true;
    }
    resetLineSettingsForTransfer(state.settings);
}

bool portDialogNeeded(SerialPorts& state) {
    const int count = static_cast<int>(state.lists.ports.size());
    if (count > 0 && state.settings.portIndex >= count) {
        state.settings.portIndex = 0;
        return true;
    }
    return !state.settings.settingsChosen;
}

void ensureSettingsChosen(SerialPorts& state, const std::function<void()>& runPortDialog) {
    if (portDialogNeeded(state) && runPortDialog) runPortDialog();
    state.settings.settingsChosen = true;
}

std::optional<std::string> chosenPortName(const SerialPorts& state) {
    const int index = std::max(state.settings.portIndex, 0);
    if (static_cast<std::size_t>(index) >= state.lists.ports.size()) return std::nullopt;
    return state.lists.ports[static_cast<std::size_t>(index)];
}

PortDialogView openPortDialog(SerialPorts& state, PortSource& source, std::int32_t deviceKind) {
    applyFirstDialogBaudDefault(state.settings, deviceKind);
    enumerateSerialPorts(state, source, deviceKind);
    SerialSettings& s = state.settings;
    PortDialogView view;
    view.ports = state.lists.ports;
    if (!view.ports.empty()) {
        if (s.portIndex < 0 || s.portIndex >= static_cast<int>(view.ports.size())) s.portIndex = 0;
        view.portSelection = s.portIndex;
    }
    view.baudIndex = s.baudIndex;
    view.parityIndex = s.parityIndex;
    view.dataBitsIndex = s.dataBitsIndex;
    view.stopBitsIndex = s.stopBitsIndex;
    return view;
}

bool acceptPortDialog(SerialPorts& state, const PortDialogChoice& choice) {
    int portIndex = state.settings.portIndex;
    if (!trimmed(choice.typedPath).empty()) {
        const std::optional<std::string> path = typedDevicePath(choice.typedPath);
        if (!path) return false;
        if (!listed(state.lists.ports, *path)) {
            // Listed where the next enumeration will list it (added ports first),
            // so the stored index keeps naming it.
            std::vector<PortEntry> current;
            for (std::size_t i = 0; i < state.lists.ports.size(); ++i) {
                const bool usb = std::find(state.lists.usbPositions.begin(), state.lists.usbPositions.end(), i) !=
                                 state.lists.usbPositions.end();
                current.push_back({state.lists.ports[i], usb});
            }
            addPort(state.addedPorts, *path);
            state.lists = buildPortLists(state.addedPorts, current);
        }
        portIndex = static_cast<int>(std::find(state.lists.ports.begin(), state.lists.ports.end(), *path) -
                                     state.lists.ports.begin());
    } else if (choice.portSelection >= 0 && choice.portSelection < static_cast<int>(state.lists.ports.size())) {
        portIndex = choice.portSelection;
    }
    SerialSettings& s = state.settings;
    s.portIndex = portIndex;
    s.baudIndex = choice.baudIndex;
    s.parityIndex = choice.parityIndex;
    s.dataBitsIndex = choice.dataBitsIndex;
    s.stopBitsIndex = choice.stopBitsIndex;
    s.settingsChosen = true;
    return true;
}

std::optional<std::string> typedDevicePath(std::string_view typed) {
    const std::string_view text = trimmed(typed);
    if (text.empty() || text.size() > kMaxDevicePathLength) return std::nullopt;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
    if (text.front() == '/') return std::string(text);
    if (text.find('/') != std::string_view::npos) return std::nullopt;
    return "/dev/" + std::string(text);
}

std::vector<std::string> portPathsFromList(std::string_view text) {
    std::vector<std::string> out;
    while (!text.empty()) {
        const std::size_t colon = text.find(':');
        const std::string_view part = text.substr(0, colon);
        if (const auto path = typedDevicePath(part)) addPort(out, *path);
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    return out;
}

void addPort(std::vector<std::string>& addedPorts, const std::string& path) {
    if (!listed(addedPorts, path)) addedPorts.push_back(path);
}

bool isUsbIdentity(bool hasVendorId, bool hasProductId, std::string_view deviceTreePath) {
    if (hasVendorId && hasProductId) return true;
    while (!deviceTreePath.empty()) {
        const std::size_t slash = deviceTreePath.find('/');
        const std::string_view element = deviceTreePath.substr(0, slash);
        if (element.starts_with("usb")) return true;
        if (slash == std::string_view::npos) break;
        deviceTreePath.remove_prefix(slash + 1);
    }
    return false;
}

}  // namespace korvex::serial
