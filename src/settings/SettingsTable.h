#pragma once

#include "core/CDateTime.h"
#include "format/StringTable.h"
#include "settings/IProfileStore.h"
#include "settings/LogFont.h"
#include "settings/ProfileValues.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace dv {

// A settings object is described by one table: per key its name, kind, default and the member
// that holds it. Resetting, loading and saving all walk that table, so the three can never
// disagree on a key, its order or its default.

/// How a setting is kept in the store (see IProfileStore's typed operations).
enum class SettingKind : unsigned char {
    Bool,
    Int,
    Colour,
    Text,
    Font,
    DateTime,
    FlagList,
    NameList,
    NumberList,
    Password,
};

/// The default fonts: A is the base font (LogFont::DefaultBase), B the base with height -9, C the
/// base with height -16 and weight 700, D the base with height -24 and weight 700.
enum class DefaultFont : unsigned char { A, B, C, D };

/// The font `which`, made from LogFont::DefaultBase.
LogFont MakeDefaultFont(DefaultFont which);

/// A default text that is entry `Id` of the string table, loaded in the active language.
struct FromStringTable {
    uint32_t Id = 0;
};

/// One key of a settings table of the class `Owner`.
template <class Owner>
struct SettingKey {
    using Member = std::variant<bool Owner::*, int32_t Owner::*, uint32_t Owner::*,
                                std::string Owner::*, LogFont Owner::*, CDateTime Owner::*,
                                FlagList Owner::*, NameList Owner::*, NumberList Owner::*>;

    std::string_view Name;
    SettingKind Kind = SettingKind::Int;
    Member Field;
    int64_t Number = 0;    // default of Bool, Int and Colour
    uint32_t StringId = 0; // non-zero: the default text is this string table entry
    std::string_view Text; // otherwise the default text of Text, DateTime and the lists
    DefaultFont Font = DefaultFont::A;

    /// The default in text form: the string table entry in the active language, or the literal.
    std::string DefaultText() const {
        return StringId != 0 ? LoadString(StringId) : std::string(Text);
    }
    /// The default as `owner` adapts it (an owner with AdaptDefault puts time formats on its
    /// clock).
    std::string DefaultText(const Owner& owner) const {
        if constexpr (requires { owner.AdaptDefault(std::string()); }) {
            if (StringId != 0) {
                return owner.AdaptDefault(LoadString(StringId));
            }
        }
        return DefaultText();
    }
    /// True for a text whose default follows the language (a string table entry).
    bool FollowsLanguage() const { return Kind == SettingKind::Text && StringId != 0; }

    /// Sets the member to the key's default.
    void ApplyDefault(Owner& owner) const {
        switch (Kind) {
        case SettingKind::Bool:
            owner.*std::get<bool Owner::*>(Field) = Number != 0;
            break;
        case SettingKind::Int:
            owner.*std::get<int32_t Owner::*>(Field) = static_cast<int32_t>(Number);
            break;
        case SettingKind::Colour:
            owner.*std::get<uint32_t Owner::*>(Field) = static_cast<uint32_t>(Number);
            break;
        case SettingKind::Text:
            owner.*std::get<std::string Owner::*>(Field) = DefaultText(owner);
            break;
        case SettingKind::Password:
            owner.*std::get<std::string Owner::*>(Field) = std::string();
            break;
        case SettingKind::Font:
            owner.*std::get<LogFont Owner::*>(Field) = MakeDefaultFont(Font);
            break;
        case SettingKind::DateTime: {
            CDateTime value;
            value.Parse(DefaultText());
            owner.*std::get<CDateTime Owner::*>(Field) = value;
            break;
        }
        case SettingKind::FlagList:
            owner.*std::get<FlagList Owner::*>(Field) = ParseFlagList(DefaultText());
            break;
        case SettingKind::NameList:
            owner.*std::get<NameList Owner::*>(Field) = ParseNameList(DefaultText());
            break;
        case SettingKind::NumberList:
            owner.*std::get<NumberList Owner::*>(Field) = ParseNumberList(DefaultText());
            break;
        }
    }

    /// Reads the key into the member; the member's current value is what a missing key yields.
    void Read(const IProfileStore& store, std::string_view section, Owner& owner) const {
        switch (Kind) {
        case SettingKind::Bool: {
            bool& value = owner.*std::get<bool Owner::*>(Field);
            value = store.ReadBool(section, Name, value);
            break;
        }
        case SettingKind::Int: {
            int32_t& value = owner.*std::get<int32_t Owner::*>(Field);
            value = store.ReadInt(section, Name, value);
            break;
        }
        case SettingKind::Colour: {
            uint32_t& value = owner.*std::get<uint32_t Owner::*>(Field);
            value = store.ReadColour(section, Name, value);
            break;
        }
        case SettingKind::Text: {
            std::string& value = owner.*std::get<std::string Owner::*>(Field);
            value = store.ReadText(section, Name, value);
            break;
        }
        case SettingKind::Password:
            // A missing password is the empty one whatever the member held.
            owner.*std::get<std::string Owner::*>(Field) = store.ReadPassword(section, Name);
            break;
        case SettingKind::Font: {
            LogFont& value = owner.*std::get<LogFont Owner::*>(Field);
            value = store.ReadFont(section, Name, value);
            break;
        }
        case SettingKind::DateTime: {
            CDateTime& value = owner.*std::get<CDateTime Owner::*>(Field);
            value = store.ReadDateTime(section, Name, value);
            break;
        }
        case SettingKind::FlagList: {
            FlagList& value = owner.*std::get<FlagList Owner::*>(Field);
            value = store.ReadFlagList(section, Name, value);
            break;
        }
        case SettingKind::NameList: {
            NameList& value = owner.*std::get<NameList Owner::*>(Field);
            value = store.ReadNameList(section, Name, value);
            break;
        }
        case SettingKind::NumberList: {
            NumberList& value = owner.*std::get<NumberList Owner::*>(Field);
            value = store.ReadNumberList(section, Name, value);
            break;
        }
        }
    }

    /// Writes the member under the key.
    void Write(IProfileStore& store, std::string_view section, const Owner& owner) const {
        switch (Kind) {
        case SettingKind::Bool:
            store.WriteBool(section, Name, owner.*std::get<bool Owner::*>(Field));
            break;
        case SettingKind::Int:
            store.WriteInt(section, Name, owner.*std::get<int32_t Owner::*>(Field));
            break;
        case SettingKind::Colour:
            store.WriteColour(section, Name, owner.*std::get<uint32_t Owner::*>(Field));
            break;
        case SettingKind::Text: {
            const std::string& value = owner.*std::get<std::string Owner::*>(Field);
            if (FollowsLanguage() && value == DefaultText(owner)) {
                // Unchanged: not stored, so that it follows the language and the clock.
                store.RemoveKey(section, Name);
            } else {
                store.WriteText(section, Name, value);
            }
            break;
        }
        case SettingKind::Password:
            store.WritePassword(section, Name, owner.*std::get<std::string Owner::*>(Field));
            break;
        case SettingKind::Font:
            store.WriteFont(section, Name, owner.*std::get<LogFont Owner::*>(Field));
            break;
        case SettingKind::DateTime:
            store.WriteDateTime(section, Name, owner.*std::get<CDateTime Owner::*>(Field));
            break;
        case SettingKind::FlagList:
            store.WriteFlagList(section, Name, owner.*std::get<FlagList Owner::*>(Field));
            break;
        case SettingKind::NameList:
            store.WriteNameList(section, Name, owner.*std::get<NameList Owner::*>(Field));
            break;
        case SettingKind::NumberList:
            store.WriteNumberList(section, Name, owner.*std::get<NumberList Owner::*>(Field));
            break;
        }
    }
};

/// Sets every member of the table to its default.
template <class Owner>
void ApplyDefaults(std::span<const SettingKey<Owner>> keys, Owner& owner) {
    for (const SettingKey<Owner>& key : keys) {
        key.ApplyDefault(owner);
    }
}

/// Reads every key in table order; a missing key leaves its member as it is.
template <class Owner>
void ReadKeys(std::span<const SettingKey<Owner>> keys, const IProfileStore& store,
              std::string_view section, Owner& owner) {
    for (const SettingKey<Owner>& key : keys) {
        key.Read(store, section, owner);
    }
}

/// Writes every key in table order.
template <class Owner>
void WriteKeys(std::span<const SettingKey<Owner>> keys, IProfileStore& store,
               std::string_view section, const Owner& owner) {
    for (const SettingKey<Owner>& key : keys) {
        key.Write(store, section, owner);
    }
}

// ---- Table rows. The member's type fixes the kind, so a row cannot pair a key with a member
// of another kind.

template <class Owner>
constexpr SettingKey<Owner> MakeKey(std::string_view name, SettingKind kind,
                                    typename SettingKey<Owner>::Member member) {
    SettingKey<Owner> key;
    key.Name = name;
    key.Kind = kind;
    key.Field = member;
    return key;
}
template <class Owner>
constexpr SettingKey<Owner> WithNumber(SettingKey<Owner> key, int64_t number) {
    key.Number = number;
    return key;
}
template <class Owner>
constexpr SettingKey<Owner> WithText(SettingKey<Owner> key, std::string_view text) {
    key.Text = text;
    return key;
}
template <class Owner>
constexpr SettingKey<Owner> WithText(SettingKey<Owner> key, FromStringTable text) {
    key.StringId = text.Id;
    return key;
}

template <class Owner>
constexpr SettingKey<Owner> BoolKey(std::string_view name, bool Owner::*member, bool value) {
    return WithNumber(MakeKey<Owner>(name, SettingKind::Bool, member), value ? 1 : 0);
}
template <class Owner>
constexpr SettingKey<Owner> IntKey(std::string_view name, int32_t Owner::*member, int32_t value) {
    return WithNumber(MakeKey<Owner>(name, SettingKind::Int, member), value);
}
template <class Owner>
constexpr SettingKey<Owner> ColourKey(std::string_view name, uint32_t Owner::*member,
                                      uint32_t value) {
    return WithNumber(MakeKey<Owner>(name, SettingKind::Colour, member), value);
}
/// `value` is a literal text or FromStringTable.
template <class Owner, class Default>
constexpr SettingKey<Owner> TextKey(std::string_view name, std::string Owner::*member,
                                    Default value) {
    return WithText(MakeKey<Owner>(name, SettingKind::Text, member), value);
}
template <class Owner>
constexpr SettingKey<Owner> PasswordKey(std::string_view name, std::string Owner::*member) {
    return MakeKey<Owner>(name, SettingKind::Password, member);
}
template <class Owner>
constexpr SettingKey<Owner> FontKey(std::string_view name, LogFont Owner::*member,
                                    DefaultFont value) {
    SettingKey<Owner> key = MakeKey<Owner>(name, SettingKind::Font, member);
    key.Font = value;
    return key;
}
/// `value` in the fixed text form "%Y %m %d %H %M %S".
template <class Owner>
constexpr SettingKey<Owner> DateTimeKey(std::string_view name, CDateTime Owner::*member,
                                        std::string_view value) {
    return WithText(MakeKey<Owner>(name, SettingKind::DateTime, member), value);
}
/// `value` (a literal text or FromStringTable) in the stored form of the list.
template <class Owner, class Default>
constexpr SettingKey<Owner> FlagListKey(std::string_view name, FlagList Owner::*member,
                                        Default value) {
    return WithText(MakeKey<Owner>(name, SettingKind::FlagList, member), value);
}
template <class Owner, class Default>
constexpr SettingKey<Owner> NameListKey(std::string_view name, NameList Owner::*member,
                                        Default value) {
    return WithText(MakeKey<Owner>(name, SettingKind::NameList, member), value);
}
template <class Owner, class Default>
constexpr SettingKey<Owner> NumberListKey(std::string_view name, NumberList Owner::*member,
                                          Default value) {
    return WithText(MakeKey<Owner>(name, SettingKind::NumberList, member), value);
}

} // namespace dv
