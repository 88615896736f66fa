#include "dialogs.h"

#include "desktop.h"

#include <QApplication>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
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

} // namespace

void SystemDialogs::message(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, forDisplay(text), QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

bool SystemDialogs::askYesNo(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, forDisplay(text), QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    return box.exec() == QMessageBox::Yes;
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
}
