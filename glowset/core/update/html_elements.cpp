#include "glowset/core/update/html_elements.h"

#include "glowset/core/protocol/numbers.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <climits>
#include <cstring>

namespace glowset {
namespace {

// Scripts and style sheets are no text a reader sees.
bool holdsNoText(const xmlNode* node) {
    const auto* name = reinterpret_cast<const char*>(node->name);
    return name && (!strcasecmp(name, "script") || !strcasecmp(name, "style"));
}

void appendText(const xmlNode* node, std::string& out) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            if (child->content) out += reinterpret_cast<const char*>(child->content);
        } else if (child->type == XML_ELEMENT_NODE && !holdsNoText(child)) {
            appendText(child, out);
        }
    }
}

bool textHolds(const xmlNode* node, std::string_view key) {
    std::string text;
    appendText(node, text);
    return containsIgnoreCase(normalizeWhitespace(text), key);
}

// The last element after `node` in document order, within its subtree,
// whose text holds the key. An element's text holds all of its
// descendants', so only a child that holds the key can lead to one; among
// those the last child wins, and within it its own last such descendant.
const xmlNode* lastHolding(const xmlNode* node, std::string_view key) {
    const xmlNode* last = node->last;
    for (const xmlNode* child = last; child; child = child->prev) {
        if (child->type != XML_ELEMENT_NODE || holdsNoText(child) || !textHolds(child, key))
            continue;
        const xmlNode* deeper = lastHolding(child, key);
        return deeper ? deeper : child;
    }
    return nullptr;
}

bool isSpaceAt(std::string_view text, size_t i, size_t& length) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == ' ' || (byte >= '\t' && byte <= '\r')) {
        length = 1;
        return true;
    }
    // U+00A0, U+2007 and U+202F (no-break spaces), U+2000 to U+200A, U+3000.
    if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA0) {
        length = 2;
        return true;
    }
    if (i + 2 < text.size()) {
        const auto b1 = static_cast<unsigned char>(text[i + 1]);
        const auto b2 = static_cast<unsigned char>(text[i + 2]);
        if ((byte == 0xE2 && b1 == 0x80 && (b2 <= 0x8A || b2 == 0xAF)) ||
            (byte == 0xE3 && b1 == 0x80 && b2 == 0x80)) {
            length = 3;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string normalizeWhitespace(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pendingSpace = false;
    for (size_t i = 0; i < text.size();) {
        size_t length = 0;
        if (isSpaceAt(text, i, length)) {
            pendingSpace = !out.empty();
            i += length;
            continue;
        }
        if (pendingSpace) out += ' ';
        pendingSpace = false;
        out += text[i++];
    }
    return out;
}

std::string lastElementTextContaining(std::string_view html, std::string_view key) {
    if (html.empty() || html.size() > INT_MAX) return {};
    // No network access, no messages on the terminal for bad markup.
    const int options =
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    htmlDocPtr document =
        htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8", options);
    if (!document) return {};
    std::string found;
    if (const xmlNode* root = xmlDocGetRootElement(document)) {
        if (const xmlNode* element = lastHolding(root, key)) {
            appendText(element, found);
            found = normalizeWhitespace(found);
        }
    }
    xmlFreeDoc(document);
    return found;
}

}  // namespace glowset
