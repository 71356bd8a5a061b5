#pragma once

#include <string>
#include <string_view>

namespace form {

/// The answer to a yes-or-no question.
enum class Answer { Yes, No, Closed };

/// The window's three kinds of modal box; each window gives its own. Texts are UTF-8 with "\r"
/// for a line break, as the engine writes them.
class TBoxes {
public:
    virtual ~TBoxes() = default;
    /// An information box: the program's title as caption, no icon, OK. Returns once dismissed.
    virtual void ShowInformation(const std::string& text) = 0;
    /// The same box with `details` the user opens on demand, as the platform's boxes offer them;
    /// by default without them.
    virtual void ShowWithDetails(const std::string& text, const std::string& details) {
        (void)details;
        ShowInformation(text);
    }
    /// The box that tells the user the stamp script is written, with `details` on demand: OK goes
    /// on, "Peruuta" declines (Esc and a box closed otherwise count as Peruuta). True for OK; by
    /// default the information box with details, which only goes on.
    virtual bool Confirm(const std::string& text, const std::string& details) {
        ShowWithDetails(text, details);
        return true;
    }
    /// An error raised by the platform, in its English text.
    virtual void ShowError(const std::string& text) = 0;
    /// A confirmation: caption "Confirm", a question icon, the buttons ButtonsOf names, Yes
    /// (Enter) and No (Esc). Esc answers No; a box closed otherwise gives no answer.
    virtual Answer Ask(const std::string& question) = 0;
    /// Closes the question Ask shows, where one is open, as a box closed otherwise: Ask returns
    /// Closed. For a question that something else has settled meanwhile.
    virtual void CloseQuestion() {}
};

/// The captions of a question's Yes and No buttons.
struct QuestionButtons {
    const char* yes;
    const char* no;
};

/// The buttons `question` is asked with: Kronalo's own questions name them Kyllä and Ei, as their
/// texts do; the one whether to select every item keeps "&Yes" and "&No".
QuestionButtons ButtonsOf(std::string_view question);

/// A message as a box or a console shows it: each "\r" becomes the window's own `lineBreak`.
inline std::string BoxText(std::string_view text, std::string_view lineBreak) {
    std::string shown;
    for (const char c : text) {
        if (c == '\r')
            shown += lineBreak;
        else
            shown += c;
    }
    return shown;
}

} // namespace form
