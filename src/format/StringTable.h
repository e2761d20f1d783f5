#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

/// A translation hook: given a string number and its built-in English text, the text of the
/// active language, or nullopt to keep the English one. The desktop program installs one backed
/// by its translation files; the core and the CLI run with none.
using TranslationHook =
    std::function<std::optional<std::string>(uint32_t id, std::string_view english)>;

/// Installs `hook` for every later LoadString (an empty function removes it). Thread-safe.
void SetTranslationHook(TranslationHook hook);

/// The built-in English text of string `id`; empty when the table has no such number.
std::string_view EnglishString(uint32_t id);

/// The text of string `id` in the active language: the hook's text when it gives one, otherwise
/// the English text; empty when the table has no such number.
std::string LoadString(uint32_t id);

/// LoadString(id) with its first "%s" replaced by `argument` (messages that name a file or a
/// command); a text without "%s" is returned as it is.
std::string FormatString(uint32_t id, std::string_view argument);

/// LoadString(id) with its "%s" replaced by `arguments` in order; "%s" beyond the arguments stay,
/// and a "%s" inside an argument is not replaced again.
std::string FormatString(uint32_t id, std::initializer_list<std::string_view> arguments);

/// True when the built-in table has string `id`.
bool HasString(uint32_t id);

/// Every number of the built-in table, ascending: what a translation has to cover.
std::vector<uint32_t> StringTableIds();

} // namespace dv
