#include "settings_app/dialog_rules.h"

#include "common/decimal.h"

namespace sonarel {

int TriggerSelectionFor(std::int32_t mouse_button_pressed) { return mouse_button_pressed == 0 ? 0 : 1; }

std::int32_t MouseButtonFor(int selection) { return selection == 0 ? 0 : 2; }

std::optional<std::uint32_t> ParseUnsignedStep(std::wstring_view text) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - L'0');
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

StepVerdict JudgeVolumeStep(bool converted, std::uint32_t value) {
    if (!converted) return StepVerdict::NotANumber;
    const auto step = static_cast<std::int32_t>(value);
    return step < kMinVolumeStep || step > kMaxVolumeStep ? StepVerdict::OutOfRange : StepVerdict::Accepted;
}

bool IsStartupEntryTurnedOff(const std::uint8_t* data, std::size_t size) { return size > 0 && (data[0] & 1) != 0; }

std::wstring SaveFailureMessage(WriteFailure failure, std::wstring_view file) {
    std::wstring text = L"Your settings could not be saved to\n";
    text += file;
    text += L"\n\n";
    switch (failure) {
        case WriteFailure::InUse:
            text += L"Another program is using the file, perhaps a backup or a virus scan. "
                    L"Wait a moment, then click Apply again.";
            break;
        case WriteFailure::ReadOnly:
            text += L"The file is read-only. Clear \"Read-only\" in the file's Properties, "
                    L"then click Apply again.";
            break;
        case WriteFailure::NoAccess:
            text += L"You do not have permission to change files in its folder. Ask the owner of this "
                    L"computer for access, then click Apply again.";
            break;
        case WriteFailure::None:
        case WriteFailure::Other:
            text += L"The file could not be written. Check that the disk is not full and that nothing "
                    L"else has that name, then click Apply again.";
            break;
    }
    text += L"\n\nYour changes are still in the window.";
    return text;
}

std::wstring UnreadableSettingsMessage(std::wstring_view file) {
    std::wstring text = L"Sonarel Settings cannot read your settings file\n";
    text += file;
    text += L"\n\nAnother program is using it, perhaps a backup or a virus scan, or you do not have "
            L"permission to read it. Nothing was changed. Close that program, or wait a moment, "
            L"then open Sonarel Settings again.";
    return text;
}

std::wstring RangeMessage(int value, int minimum, int maximum) {
    std::wstring text = L"Error detected: You entered integer of ";
    AppendDecimal(text, value);
    text += L", whereas it must be between ";
    AppendDecimal(text, minimum);
    text += L" and ";
    AppendDecimal(text, maximum);
    return text;
}

Point CenteredPosition(Size size, const Rect& reference, const Rect& work) {
    std::int32_t x = (reference.left + reference.right) / 2 - size.cx / 2;
    std::int32_t y = (reference.top + reference.bottom) / 2 - size.cy / 2;
    if (x + size.cx > work.right) x = work.right - size.cx;
    if (y + size.cy > work.bottom) y = work.bottom - size.cy;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    return {x, y};
}

std::optional<ColorRef> ParseAnchorColor(std::wstring_view value) {
    if (value.size() > 11) return std::nullopt;
    const size_t first = value.find(L',');
    if (first == std::wstring_view::npos) return std::nullopt;
    const size_t second = value.find(L',', first + 1);
    if (second == std::wstring_view::npos || second + 1 >= value.size()) return std::nullopt;
    // Each part as a leading decimal number (no digits: 0), the low 8 bits kept.
    auto channel = [](std::wstring_view part) {
        unsigned number = 0;
        for (wchar_t c : part) {
            if (c < L'0' || c > L'9') break;
            number = number * 10 + static_cast<unsigned>(c - L'0');
        }
        return static_cast<std::uint8_t>(number % 256);
    };
    return MakeColor(channel(value.substr(0, first)), channel(value.substr(first + 1, second - first - 1)),
                     channel(value.substr(second + 1)));
}

}  // namespace sonarel
