#include "glowset/ui/windows/text_guard.h"

#include "glowset/core/text/typed_text.h"
#include "glowset/ui/platform/dialogs.h"

#include <QLineEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVariant>

namespace glowset {
namespace {

constexpr const char* kUnchecked = "textGuardOff";

QString fromUtf32(const std::u32string& text) {
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

void tellConversions(const TypedText& checked, const ConversionNotice& tell) {
    if (tell)
        tell("Changed for the sign: " +
             QString::fromStdString(describeConversions(checked.conversions)));
}

}  // namespace

void guardTypedText(QLineEdit* box, ConversionNotice tell) {
    QObject::connect(box, &QLineEdit::textEdited, box, [box, tell](const QString& text) {
        const TypedText checked = checkTypedText(text.toStdU32String());
        if (checked.conversions.empty()) return;
        // Keep the caret after the same characters it followed.
        const int caret = box->cursorPosition();
        const TypedText before = checkTypedText(text.left(caret).toStdU32String());
        box->setText(fromUtf32(checked.text));
        box->setCursorPosition(static_cast<int>(fromUtf32(before.text).size()));
        tellConversions(checked, tell);
    });
}

int convertTypedRange(QTextEdit* editor, int position, int count, const ConversionNotice& tell) {
    QTextDocument* document = editor->document();
    std::vector<Conversion> made;
    int end = position + count;
    for (int at = position; at < end && at < document->characterCount(); ++at) {
        const char32_t c = document->characterAt(at).unicode();
        const Conversion* conversion = conversionFor(c);
        if (!conversion) continue;
        QTextCursor cursor(document);
        cursor.setPosition(at);
        cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
        const QTextCharFormat format = cursor.charFormat();
        cursor.insertText(QString::fromLatin1(conversion->to.c_str()), format);
        const int grown = static_cast<int>(conversion->to.size()) - 1;
        end += grown;
        at += grown;
        if (std::none_of(made.begin(), made.end(),
                         [c](const Conversion& m) { return m.from == c; })) {
            made.push_back(*conversion);
        }
    }
    if (!made.empty() && tell) {
        tell("Changed for the sign: " + QString::fromStdString(describeConversions(made)));
    }
    return end - position;
}

void guardTypedText(QTextEdit* editor, ConversionNotice tell) {
    auto converting = std::make_shared<bool>(false);
    QObject::connect(editor->document(), &QTextDocument::contentsChange, editor,
                     [editor, tell, converting](int position, int, int added) {
                         if (*converting || added <= 0 || editor->property(kUnchecked).toBool())
                             return;
                         *converting = true;
                         convertTypedRange(editor, position, added, tell);
                         *converting = false;
                     });
}

void setTextUnchecked(QTextEdit* editor, const QString& text) {
    editor->setProperty(kUnchecked, true);
    editor->setPlainText(text);
    editor->setProperty(kUnchecked, false);
}

QString refusedCharacters(const QString& text) {
    const TypedText checked = checkTypedText(text.toStdU32String());
    return QString::fromStdString(describeRefused(checked.refused));
}

bool acceptForSign(const QString& text, const QString& action, QWidget* owner, Dialogs& dialogs) {
    const QString refused = refusedCharacters(text);
    if (refused.isEmpty()) return true;
    dialogs.message(owner,
                    "These characters cannot be " + action + ": " + refused +
                        "\r\nThe sign shows only the characters of its 8-bit code page, and "
                        "it reads the characters ª « ¬ ® ¯ ° ± ² and the soft hyphen as its own "
                        "codes. Please remove or replace them.",
                    "Characters the sign cannot show");
    return false;
}

}  // namespace glowset
