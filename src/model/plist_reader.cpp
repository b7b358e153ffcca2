#include "model/plist_reader.h"

#include <QFileInfo>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace model {

namespace {

// A parsed value. Only dictionaries, arrays and strings matter; every other value is kept as a
// kind without content.
struct Node {
    enum class Kind { Dict, Array, String, Other };
    Kind kind = Kind::Other;
    QString text;                // String
    std::vector<QString> keys;   // Dict: keys[i] belongs to children[i]
    std::vector<Node> children;  // Dict values and Array items, in document order

    const Node* value(const QString& key) const {
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) return &children[i];
        return nullptr;
    }
};

// Depth of the track dictionaries (root = 1, "Tracks" = 2).
constexpr int kLastLookedIntoDepth = 3;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}
bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Recursive descent over the bytes. Every step moves forward, so the work is linear; recursion
// is bounded by kMaxPlistDepth. Any error ends the parse with false.
class Parser {
  public:
    explicit Parser(std::string_view input) : s_(input) {}

    bool parseDocument(Node& root) {
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
        if (!skipMisc(true)) return false;
        std::string name;
        bool empty = false;
        if (!startTag(name, empty)) return false;
        if (name == "plist") {
            if (empty) return false;
            if (!skipMisc(false) || !parseValue(root, 1) || !skipMisc(false) || !endTag("plist"))
                return false;
        } else if (!parseElement(name, empty, root, 1)) {
            return false;
        }
        return skipMisc(false) && pos_ == s_.size();
    }

  private:
    bool startsWith(std::string_view t) const { return s_.substr(pos_, t.size()) == t; }

    bool skipPast(std::string_view end) {
        const size_t at = s_.find(end, pos_);
        if (at == std::string_view::npos) return false;
        pos_ = at + end.size();
        return true;
    }

    void skipSpace() {
        while (pos_ < s_.size() && isSpace(s_[pos_])) ++pos_;
    }

    // Whitespace, comments and processing instructions; before the root element also one
    // DOCTYPE, which may name an external DTD (never fetched) but must not carry an internal
    // subset, the only place entities could be declared.
    bool skipMisc(bool beforeRoot) {
        for (;;) {
            skipSpace();
            if (startsWith("<!--")) {
                pos_ += 4;
                if (!skipPast("-->")) return false;
            } else if (startsWith("<?")) {
                pos_ += 2;
                if (!skipPast("?>")) return false;
            } else if (beforeRoot && startsWith("<!DOCTYPE")) {
                if (seenDoctype_) return false;
                seenDoctype_ = true;
                if (!skipDoctype()) return false;
            } else {
                return true;
            }
        }
    }

    bool skipDoctype() {
        char quote = 0;
        for (pos_ += 9; pos_ < s_.size(); ++pos_) {
            const char c = s_[pos_];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[' || c == '<') {
                return false;
            } else if (c == '>') {
                ++pos_;
                return true;
            }
        }
        return false;
    }

    bool readName(std::string& name) {
        if (pos_ >= s_.size() || !isNameStart(s_[pos_])) return false;
        const size_t begin = pos_;
        while (pos_ < s_.size() && isNameChar(s_[pos_])) ++pos_;
        name.assign(s_.substr(begin, pos_ - begin));
        return true;
    }

    // "<name attr='v' ...>" or "<name .../>"; attribute values are checked, not kept.
    bool startTag(std::string& name, bool& empty) {
        if (!startsWith("<")) return false;
        ++pos_;
        if (!readName(name)) return false;
        for (;;) {
            const size_t before = pos_;
            skipSpace();
            if (startsWith("/>")) {
                pos_ += 2;
                empty = true;
                return true;
            }
            if (startsWith(">")) {
                ++pos_;
                empty = false;
                return true;
            }
            std::string attribute;
            if (pos_ == before || !readName(attribute)) return false;
            skipSpace();
            if (!startsWith("=")) return false;
            ++pos_;
            skipSpace();
            if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) return false;
            const char quote = s_[pos_++];
            std::string ignored;
            while (pos_ < s_.size() && s_[pos_] != quote) {
                if (s_[pos_] == '<') return false;
                if (s_[pos_] == '&') {
                    if (!reference(ignored)) return false;
                } else {
                    ++pos_;
                }
            }
            if (pos_ >= s_.size()) return false;
            ++pos_;
        }
    }

    bool endTag(std::string_view name) {
        if (!startsWith("</")) return false;
        pos_ += 2;
        std::string got;
        if (!readName(got) || got != name) return false;
        skipSpace();
        if (!startsWith(">")) return false;
        ++pos_;
        return true;
    }

    // "&lt;" "&gt;" "&amp;" "&apos;" "&quot;" and character references. Any other entity is
    // refused rather than looked up: nothing may be expanded.
    bool reference(std::string& out) {
        const size_t semicolon = s_.substr(pos_, 14).find(';');  // no reference is longer
        if (semicolon == std::string_view::npos) return false;
        const std::string_view body = s_.substr(pos_ + 1, semicolon - 1);
        pos_ += semicolon + 1;
        static constexpr std::pair<std::string_view, char> kPredefined[] = {
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
        for (const auto& [entity, c] : kPredefined) {
            if (body == entity) {
                out += c;
                return true;
            }
        }
        if (body.size() < 2 || body[0] != '#') return false;
        const bool hex = body[1] == 'x';
        const std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty()) return false;
        uint32_t cp = 0;
        for (char c : digits) {
            const int d = hex ? hexValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
            if (d < 0) return false;
            cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(d);
            if (cp > 0x10FFFF) return false;
        }
        if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        appendUtf8(out, cp);
        return true;
    }

    // Character data up to the end tag of name: text, references, CDATA and comments; no child
    // elements.
    bool textContent(std::string_view name, std::string& out) {
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == '&') {
                if (!reference(out)) return false;
            } else if (c != '<') {
                out += c;
                ++pos_;
            } else if (startsWith("<![CDATA[")) {
                const size_t begin = pos_ + 9;
                const size_t end = s_.find("]]>", begin);
                if (end == std::string_view::npos) return false;
                out.append(s_.substr(begin, end - begin));
                pos_ = end + 3;
            } else if (startsWith("<!--")) {
                pos_ += 4;
                if (!skipPast("-->")) return false;
            } else {
                return endTag(name);
            }
        }
        return false;
    }

    bool parseValue(Node& node, int depth) {
        std::string name;
        bool empty = false;
        return startTag(name, empty) && parseElement(name, empty, node, depth);
    }

    bool parseElement(const std::string& name, bool empty, Node& node, int depth) {
        if (depth > kMaxPlistDepth) return false;
        if (name == "dict" || name == "array") {
            const bool dict = name == "dict";
            node.kind = dict ? Node::Kind::Dict : Node::Kind::Array;
            // Only the root, "Tracks" and the track dictionaries are ever looked into; the rest is
            // checked and dropped, so memory stays a small multiple of the data's size.
            const bool keep = dict && depth <= kLastLookedIntoDepth;
            if (empty) return true;
            for (;;) {
                if (!skipMisc(false)) return false;
                if (startsWith("</")) return endTag(name);
                if (dict) {
                    std::string keyName;
                    bool keyEmpty = false;
                    std::string key;
                    if (!startTag(keyName, keyEmpty) || keyName != "key") return false;
                    if (!keyEmpty && !textContent("key", key)) return false;
                    if (keep)
                        node.keys.push_back(QString::fromUtf8(key.data(), qsizetype(key.size())));
                    if (!skipMisc(false)) return false;
                }
                Node scratch;
                Node& child = keep ? node.children.emplace_back() : scratch;
                if (!parseValue(child, depth + 1)) return false;
            }
        }
        if (name == "true" || name == "false") {
            if (!empty && !endTag(name)) return false;
            node.kind = Node::Kind::Other;
            return true;
        }
        if (name == "string" || name == "integer" || name == "real" || name == "date" ||
            name == "data") {
            std::string text;
            if (!empty && !textContent(name, text)) return false;
            if (name == "string") {
                node.kind = Node::Kind::String;
                node.text = QString::fromUtf8(text.data(), qsizetype(text.size()));
            }
            return true;
        }
        return false;  // not a property-list element
    }

    std::string_view s_;
    size_t pos_ = 0;
    bool seenDoctype_ = false;
};

}  // namespace

QString trackPathInLibraryData(const QByteArray& data) {
    if (data.size() > kMaxPlistBytes || data.startsWith("bplist")) return {};
    Node root;
    Parser parser(std::string_view(data.constData(), size_t(data.size())));
    if (!parser.parseDocument(root) || root.kind != Node::Kind::Dict) return {};
    const Node* tracks = root.value(QStringLiteral("Tracks"));
    if (!tracks || tracks->kind != Node::Kind::Dict) return {};
    for (const Node& track : tracks->children) {
        if (track.kind != Node::Kind::Dict) continue;
        const Node* location = track.value(QStringLiteral("Location"));
        if (!location || location->kind != Node::Kind::String) continue;
        const QString path = fileUrlToLocalPath(location->text);
        if (!path.isEmpty()) return path;
    }
    return {};
}

QString fileUrlToLocalPath(const QString& url) {
    if (!url.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) return {};
    QString rest = url.mid(5);
    if (rest.startsWith(QStringLiteral("//"))) {
        const qsizetype slash = rest.indexOf(u'/', 2);
        if (slash < 0) return {};
        const QString host = rest.mid(2, slash - 2);
        if (!host.isEmpty() && host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) != 0)
            return {};
        rest = rest.mid(slash);
    }
    if (!rest.startsWith(u'/')) return {};
    for (const QChar stop : {u'?', u'#'}) {
        const qsizetype at = rest.indexOf(stop);
        if (at >= 0) rest.truncate(at);
    }

    const QByteArray encoded = rest.toUtf8();
    QByteArray bytes;
    bytes.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            bytes += encoded[i];
            continue;
        }
        const int high = i + 2 < encoded.size() ? hexValue(encoded[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(encoded[i + 2]) : -1;
        if (low < 0) return {};
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (bytes.contains('\0')) return {};
    return QString::fromUtf8(bytes);
}

}  // namespace model
