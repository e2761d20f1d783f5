#include "format/PickerFormat.h"

namespace dv {

namespace {

// ---- Code translation ----------------------------------------------------------------------

struct CodeForms {
    std::string_view longForm;
    std::string_view shortForm;
};

// The picker forms of the "%" codes; empty when the letter is not a code. Both picker languages
// agree on every form except the AM/PM designator, which is passed in.
CodeForms PickerForms(char code, std::string_view amPm) {
    switch (code) {
    case 'A':
        return {"dddd", "dddd"};
    case 'B':
        return {"MMMM", "MMMM"};
    case 'H':
        return {"HH", "H"};
    case 'I':
        return {"hh", "h"};
    case 'M':
        return {"mm", "m"};
    case 'S':
        return {"ss", "s"};
    case 'Y':
        return {"yyyy", "yyyy"};
    case 'a':
        return {"ddd", "ddd"};
    case 'b':
        return {"MMM", "MMM"};
    case 'd':
        return {"dd", "d"};
    case 'm':
        return {"MM", "M"};
    case 'p':
        return {amPm, amPm};
    case 'y':
        return {"yy", "yy"};
    default:
        return {};
    }
}

// Walks `format` once: every translated code goes to `onCode`, every literal character (text
// outside codes and the letters of unknown codes) to `onLiteral`.
template <typename OnCode, typename OnLiteral>
void WalkFormat(std::string_view format, std::string_view amPm, OnCode onCode,
                OnLiteral onLiteral) {
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            onLiteral(format[i]);
            continue;
        }
        bool shortForm = false;
        if (i + 1 < format.size() && format[i + 1] == '#') {
            shortForm = true;
            ++i;
        }
        if (i + 1 >= format.size()) {
            return; // a dangling "%" or "%#" has no code to translate
        }
        const char code = format[++i];
        const CodeForms forms = PickerForms(code, amPm);
        if (forms.longForm.empty()) {
            onLiteral(code);
        } else {
            onCode(shortForm ? forms.shortForm : forms.longForm);
        }
    }
}

// ---- Qt quoting ----------------------------------------------------------------------------

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Appends a run of literal text. Qt reads a letter as part of an expression, so a run with a
// letter is enclosed in single quotes; Qt reads two single quotes as one, inside quoted text and
// outside, so each quote is doubled. A run of quotes alone stays unquoted: four quotes would read
// as two quotes, not one.
void AppendQtLiteral(std::string& out, std::string_view run) {
    bool hasLetter = false;
    for (const char c : run) {
        hasLetter = hasLetter || IsAsciiLetter(c);
    }
    if (hasLetter) {
        out += '\'';
    }
    for (const char c : run) {
        if (c == '\'') {
            out += '\'';
        }
        out += c;
    }
    if (hasLetter) {
        out += '\'';
    }
}

} // namespace

std::string ToPickerFormat(std::string_view format) {
    std::string out;
    out.reserve(format.size() * 2);
    WalkFormat(
        format, "tt", [&](std::string_view code) { out += code; }, [&](char c) { out += c; });
    return out;
}

std::string ToQtDisplayFormat(std::string_view format) {
    std::string out;
    out.reserve(format.size() * 2);
    std::string run;
    WalkFormat(
        format, "AP",
        [&](std::string_view code) {
            AppendQtLiteral(out, run);
            run.clear();
            out += code;
        },
        [&](char c) { run += c; });
    AppendQtLiteral(out, run);
    return out;
}

} // namespace dv
