#include "glowset/update/html_elements.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <climits>

namespace glowset {
namespace {

void collect(xmlNode* node, std::vector<std::string>& texts) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        xmlChar* content = xmlNodeGetContent(node);
        texts.emplace_back(content ? reinterpret_cast<const char*>(content) : "");
        xmlFree(content);
        collect(node->children, texts);
    }
}

}  // namespace

std::vector<std::string> htmlElementTexts(std::string_view html) {
    std::vector<std::string> texts;
    if (html.empty() || html.size() > INT_MAX) return texts;
    // No network access, no messages on the terminal for bad markup.
    const int options =
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    htmlDocPtr document =
        htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8", options);
    if (!document) return texts;
    collect(xmlDocGetRootElement(document), texts);
    xmlFreeDoc(document);
    return texts;
}

}  // namespace glowset
