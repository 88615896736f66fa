#include "dialogs.h"

#include "desktop.h"

#include <QApplication>
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

const QString kTitle = QString::fromUtf16(kApplicationTitle);

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
    const std::pair<QMessageBox::StandardButton, QString> captions[] = { { QMessageBox::Ok, QStringLiteral("OK") },
        { QMessageBox::Yes, QStringLiteral("はい") }, { QMessageBox::No, QStringLiteral("いいえ") } };
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
    box.setInputMode(QInputDialog::TextInput);
    box.setOkButtonText(QStringLiteral("OK"));
    box.setCancelButtonText(QStringLiteral("キャンセル"));
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
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    app.setStyle(new PlainButtonsStyle);
    // All text must be able to show Japanese. Where the desktop's interface font has no kana
    // (DejaVu Sans in the C locale), a Japanese family takes its place at the same size; IPA P
    // Gothic first, whose metrics match the 9-point font the fixed layouts were drawn for.
    // QFontMetrics::inFont() would count the fallback fonts too: ask the font itself.
    const auto hasKana = [](const QFont& font) { return QRawFont::fromFont(font).supportsCharacter(U'あ'); };
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
