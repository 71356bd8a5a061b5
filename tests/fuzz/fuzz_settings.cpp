// The settings file reader: any bytes are read without harm, and a whole number that reads back
// as written is the number written.

#include "form/SettingsFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class NullTarget final : public form::TSettingsTarget {
public:
    void SetFilterIndex(int) override {}
    void SetFilterText(const std::string&) override {}
    void SetSelectAll(bool) override {}
    void SetMakeReturnFile(bool) override {}
    void SetTargetPattern(const std::string&) override {}
    void SetLeftPaneWidth(int) override {}
    void SetLeft(int) override {}
    void SetTop(int) override {}
    void SetWidth(int) override {}
    void SetHeight(int) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    NullTarget target;
    const auto error = form::ApplySettings(text, target);
    if (error && error->size() > 260)
        std::abort(); // A damaged line is quoted briefly.

    int value = 0;
    if (form::ReadWholeNumber(text, value) && form::ReadWholeNumber(std::to_string(value), value)) {
        int again = 0;
        if (!form::ReadWholeNumber(std::to_string(value), again) || again != value)
            std::abort();
    }
    bool checked = false;
    form::ReadCheckState(text, checked);
    return 0;
}
