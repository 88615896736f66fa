#include "dialogs.h"

#include "desktop.h"
#include "texts.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QTranslator>

namespace {

const QString kTitle = QString::fromUtf16(texts::kApplicationTitle);

class PlainButtonsStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(
        StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* data) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// What Qt's Japanese translation lacks of the file dialog's texts.
class MissingTranslations : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        if (qstrcmp(source, "Folder") == 0)
            return QStringLiteral("フォルダー");
        return qstrcmp(source, "Drive") == 0 ? QStringLiteral("ドライブ") : QString();
    }
};

// The program's texts break lines with CR LF; a Qt label shows a lone LF as the line break.
QString forDisplay(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A message box that shows each line of the text whole: Qt wraps anything wider than about
// 500 pixels, and Japanese wraps between any two characters.
int showMessage(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, forDisplay(text), buttons, parent);
    box.setTextFormat(Qt::PlainText); // a face such as <u>(^_^)</u> is shown as typed
    const std::pair<QMessageBox::StandardButton, QString> captions[]
        = { { QMessageBox::Ok, QString::fromUtf16(texts::kOk) }, { QMessageBox::Yes, QString::fromUtf16(texts::kYes) },
              { QMessageBox::No, QString::fromUtf16(texts::kNo) } };
    for (const auto& [button, caption] : captions) {
        if (QAbstractButton* shown = box.button(button))
            shown->setText(caption);
    }
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        int widest = 0;
        for (const QString& line : label->text().split(u'\n'))
            widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
        label->setMinimumWidth(std::min(widest + 1, box.screen()->availableGeometry().width() - 60));
    }
    return box.exec();
}

} // namespace

void SystemDialogs::message(QWidget* parent, const QString& text)
{
    showMessage(parent, text, QMessageBox::Ok);
}

bool SystemDialogs::askYesNo(QWidget* parent, const QString& text)
{
    return showMessage(parent, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> SystemDialogs::input(QWidget* parent, const QString& prompt)
{
    QInputDialog box(parent);
    box.setWindowTitle(kTitle);
    box.setLabelText(prompt);
    for (QLabel* label : box.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    box.setInputMode(QInputDialog::TextInput);
    box.setOkButtonText(QString::fromUtf16(texts::kOk));
    box.setCancelButtonText(QString::fromUtf16(texts::kCancel));
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

QString SystemDialogs::openFile(QWidget* parent, const QString& filter, const QString& initialDir)
{
    return platform::openFileDialog(parent, filter, initialDir);
}

void installAppearance(QApplication& app)
{
    // Japanese whatever the system's language: Qt's texts, and the file dialog's dates and file
    // types.
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto* translator = new QTranslator(&app);
    if (translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    QCoreApplication::installTranslator(new MissingTranslations(&app));
    app.setStyle(new PlainButtonsStyle);
    // All text must be able to show Japanese. Where the desktop's interface font has no kana
    // (DejaVu Sans in the C locale), a Japanese family takes its place at the same size; IPA P
    // Gothic first, whose metrics match the 9-point font the fixed layouts were drawn for.
    // QFontMetrics::inFont() would count the fallback fonts too: ask the font itself.
    // A fixed-width Japanese font (IPA Gothic in a Japanese locale) is too wide for the layouts and
    // crams ASCII: its proportional sibling takes its place.
    const auto hasKana = [](const QFont& font) {
        const QFontMetricsF metrics(font);
        return QRawFont::fromFont(font).supportsCharacter(U'あ')
            && metrics.horizontalAdvance(u'i') != metrics.horizontalAdvance(u'm');
    };
    QFont font = QApplication::font();
    if (hasKana(font))
        return;
    for (const char* family : { "IPAPGothic", "Noto Sans CJK JP", "Yu Gothic UI", "Meiryo UI", "Hiragino Sans" }) {
        font.setFamilies({ QString::fromLatin1(family) });
        if (hasKana(font)) {
            QApplication::setFont(font);
            return;
        }
    }
}
