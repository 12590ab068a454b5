#include "core/module/RegistryScriptParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "core/text/AsciiCase.h"

namespace wisp {

std::optional<std::string> SubstituteScriptVariables(std::string_view text,
                                                     const ScriptVariables& variables) {
    std::string result;
    result.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t open = text.find('%', position);
        if (open == std::string_view::npos) {
            result.append(text.substr(position));
            break;
        }
        result.append(text.substr(position, open - position));
        std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        std::string_view name = text.substr(open + 1, close - open - 1);
        if (name.empty()) {
            result.push_back('%');
        } else {
            auto found = std::find_if(variables.begin(), variables.end(),
                                      [&](const auto& variable) { return variable.first == name; });
            if (found == variables.end()) {
                return std::nullopt;
            }
            for (char c : found->second) {
                result.push_back(c);
                if (c == '\'') {
                    result.push_back('\'');  // the quoted string's escape
                }
            }
        }
        position = close + 1;
    }
    return result;
}

namespace {

struct Token {
    enum class Kind { Word, Quoted, OpenBrace, CloseBrace, Equals, End } kind = Kind::End;
    std::string text;
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    // Tokens are separated by white space, as in the usual text form of these scripts, so
    // that a GUID in braces is one word; "{", "}" and "=" standing alone are punctuation.
    // False on an unterminated quoted string.
    bool Next(Token& token) {
        while (position_ < text_.size() && IsSpace(text_[position_])) {
            ++position_;
        }
        token = Token{};
        if (position_ >= text_.size()) {
            return true;
        }
        if (text_[position_] == '\'') {
            return ReadQuoted(token);
        }
        while (position_ < text_.size() && !IsSpace(text_[position_])) {
            token.text.push_back(text_[position_++]);
        }
        token.kind = token.text == "{"   ? Token::Kind::OpenBrace
                     : token.text == "}" ? Token::Kind::CloseBrace
                     : token.text == "=" ? Token::Kind::Equals
                                         : Token::Kind::Word;
        return true;
    }

private:
    static bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

    bool ReadQuoted(Token& token) {
        token.kind = Token::Kind::Quoted;
        ++position_;
        while (position_ < text_.size()) {
            char c = text_[position_++];
            if (c == '\'') {
                if (position_ < text_.size() && text_[position_] == '\'') {
                    token.text.push_back('\'');
                    ++position_;
                    continue;
                }
                return true;
            }
            token.text.push_back(c);
        }
        return false;
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

std::optional<RegistryRoot> RootNamed(std::string_view name) {
    if (EqualsNoCase(name, "HKCR") || EqualsNoCase(name, "HKEY_CLASSES_ROOT")) {
        return RegistryRoot::ClassesRoot;
    }
    if (EqualsNoCase(name, "HKCU") || EqualsNoCase(name, "HKEY_CURRENT_USER")) {
        return RegistryRoot::CurrentUser;
    }
    if (EqualsNoCase(name, "HKLM") || EqualsNoCase(name, "HKEY_LOCAL_MACHINE")) {
        return RegistryRoot::LocalMachine;
    }
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(std::string_view text) : tokenizer_(text) {}

    std::optional<RegistryScript> ParseScript() {
        RegistryScript script;
        if (!Advance()) {
            return std::nullopt;
        }
        while (current_.kind != Token::Kind::End) {
            if (current_.kind != Token::Kind::Word) {
                return std::nullopt;
            }
            auto root = RootNamed(current_.text);
            if (!root || !Advance() || current_.kind != Token::Kind::OpenBrace || !Advance()) {
                return std::nullopt;
            }
            RegistryScriptRoot block{*root, {}};
            RegistryKeyEntry holder;
            if (!ParseBody(holder)) {
                return std::nullopt;
            }
            if (!holder.values.empty()) {
                return std::nullopt;  // a root holds keys only
            }
            block.keys = std::move(holder.subKeys);
            script.roots.push_back(std::move(block));
        }
        return script;
    }

private:
    bool Advance() { return tokenizer_.Next(current_); }

    bool IsName() const {
        return current_.kind == Token::Kind::Word || current_.kind == Token::Kind::Quoted;
    }

    // Entries up to and including the closing brace.
    bool ParseBody(RegistryKeyEntry& parent) {
        while (current_.kind != Token::Kind::CloseBrace) {
            if (!IsName()) {
                return false;
            }
            if (current_.kind == Token::Kind::Word && EqualsNoCase(current_.text, "val")) {
                RegistryValueEntry value;
                if (!Advance() || !IsName()) {
                    return false;
                }
                value.name = current_.text;
                if (!Advance() || current_.kind != Token::Kind::Equals || !Advance() ||
                    !ParseTypedValue(value)) {
                    return false;
                }
                parent.values.push_back(std::move(value));
                continue;
            }
            RegistryKeyEntry key;
            if (!ParseKey(key)) {
                return false;
            }
            parent.subKeys.push_back(std::move(key));
        }
        return Advance();
    }

    bool ParseKey(RegistryKeyEntry& key) {
        if (current_.kind == Token::Kind::Word) {
            if (EqualsNoCase(current_.text, "NoRemove")) {
                key.rule = RegistryKeyRule::Keep;
            } else if (EqualsNoCase(current_.text, "ForceRemove")) {
                key.rule = RegistryKeyRule::ForceRemove;
            }
            if (key.rule != RegistryKeyRule::Normal && (!Advance() || !IsName())) {
                return false;
            }
        }
        key.name = current_.text;
        if (key.name.empty() || !Advance()) {
            return false;
        }
        if (current_.kind == Token::Kind::Equals) {
            RegistryValueEntry value;
            if (!Advance() || !ParseTypedValue(value)) {
                return false;
            }
            key.values.push_back(std::move(value));
        }
        if (current_.kind == Token::Kind::OpenBrace) {
            if (!Advance()) {
                return false;
            }
            return ParseBody(key);
        }
        return true;
    }

    // "s 'text'" or "d 'number'" / "d number"; leaves the token after the value current.
    bool ParseTypedValue(RegistryValueEntry& value) {
        if (current_.kind != Token::Kind::Word) {
            return false;
        }
        bool isString = EqualsNoCase(current_.text, "s");
        bool isNumber = EqualsNoCase(current_.text, "d");
        if ((!isString && !isNumber) || !Advance() || !IsName()) {
            return false;
        }
        if (isString) {
            value.text = current_.text;
            return Advance();
        }
        value.isNumber = true;
        std::string_view digits = current_.text;
        int base = 10;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            digits.remove_prefix(2);
            base = 16;
        }
        auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value.number, base);
        if (error != std::errc() || end != digits.data() + digits.size()) {
            return false;
        }
        return Advance();
    }

    Tokenizer tokenizer_;
    Token current_;
};

}  // namespace

std::optional<RegistryScript> ParseRegistryScript(std::string_view text) {
    return Parser(text).ParseScript();
}

}  // namespace wisp
