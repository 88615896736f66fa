#include "listeditor.h"

#include "clipboard.h"
#include "controls.h"
#include "corestrings.h"
#include "dialogs.h"
#include "texts.h"
#include "twips.h"

#include <QFile>
#include <QLabel>
#include <QTimer>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const char16_t* caption, QRect geometry)
{
    auto* label = new QLabel(toQString(caption), parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

} // namespace

ListEditor::ListEditor(app::MainWindowModel& mainWindow, Dialogs& dialogs)
    : FixedWindow(toQString(texts::kEditorTitle), twips::size(5295, 5625), DefaultButton::None)
    , dialogs_(dialogs)
    , model_(*this, mainWindow)
{
    setObjectName(QStringLiteral("listEditor"));
    setAttribute(Qt::WA_DeleteOnClose);

    // Created in tab order; the labels never take the focus.
    currentList_ = controls::list(
        this, "currentList", toQString(texts::kCurrentList), twips::rect(0, 330, 1875, 4560), app::kHorizontalExtent);
    poolList_ = controls::list(
        this, "poolList", toQString(texts::kPoolList), twips::rect(3450, 330, 1875, 4560), app::kHorizontalExtent);
    makeLabel(this, "currentLabel", texts::kCurrentLabel, twips::rect(150, 120, 1185, 165));
    makeLabel(this, "poolLabel", texts::kPoolLabel, twips::rect(3210, 90, 2115, 195));
    const auto addButton
        = [this](const char* name, const char16_t* caption, QRect geometry, void (app::ListEditorModel::*action)()) {
              QPushButton* button = controls::button(this, name, toQString(caption), geometry);
              connect(button, &QPushButton::clicked, this, [this, action] { (model_.*action)(); });
              return button;
          };
    using Model = app::ListEditorModel;
    addButton("moveToPoolButton", texts::kMoveToPool, twips::rect(1920, 360, 1455, 375), &Model::moveToPool);
    addButton("moveToCurrentButton", texts::kMoveToCurrent, twips::rect(1920, 900, 1455, 375), &Model::moveToCurrent);
    addButton("createButton", texts::kCreate, twips::rect(1920, 1470, 1455, 375), &Model::create);
    upButton_ = addButton("upButton", texts::kUp, twips::rect(1920, 2640, 1455, 375), &Model::moveUp);
    downButton_ = addButton("downButton", texts::kDown, twips::rect(1920, 3210, 1455, 375), &Model::moveDown);
    addButton("eraseButton", texts::kErase, twips::rect(1920, 2040, 1455, 375), &Model::erase);
    addButton("okButton", texts::kOk, twips::rect(1110, 5130, 1605, 465), &Model::ok);
    addButton("cancelButton", texts::kCancel, twips::rect(2700, 5130, 1605, 465), &Model::cancel);
    addButton("importButton", texts::kImport, twips::rect(1920, 3810, 1455, 375), &Model::importFaces);
    addButton("versionButton", texts::kVersion, twips::rect(1890, 4380, 1455, 375), &Model::showVersion);
    fitFonts();
    currentList_->setFocus(Qt::OtherFocusReason);
    connect(currentList_, &ListBox::copyRequested, this, [this] { model_.copy(List::Current); });
    connect(poolList_, &ListBox::copyRequested, this, [this] { model_.copy(List::Pool); });

    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("moveButtonTimer"));
    connect(timer, &QTimer::timeout, this, [this] { model_.tick(); });
    timer->start(app::kMoveButtonInterval);
}

void ListEditor::message(const std::u16string& text)
{
    dialogs_.message(this, toQString(text));
}

bool ListEditor::askYesNo(const std::u16string& text)
{
    return dialogs_.askYesNo(this, toQString(text));
}

void ListEditor::setClipboardText(std::u16string_view text)
{
    platform::setClipboardText(toQString(text));
}

void ListEditor::listChanged(List which, app::Change change, int row)
{
    list(which)->changed(model_.faces(which), change, row);
}

int ListEditor::selection(List which) const
{
    return list(which)->listIndex();
}

void ListEditor::select(List which, int row)
{
    list(which)->setListIndex(row);
}

void ListEditor::enableMoveButtons(bool up, bool down)
{
    upButton_->setEnabled(up);
    downButton_->setEnabled(down);
}

std::optional<std::u16string> ListEditor::askText(const std::u16string& prompt)
{
    const std::optional<QString> typed = dialogs_.input(this, toQString(prompt));
    return typed ? std::optional(typed->toStdU16String()) : std::nullopt;
}

faces::Path ListEditor::chooseFile(std::u16string_view filter, const faces::Path& initialFolder)
{
    const QString folder = QFile::decodeName(QByteArray::fromStdString(initialFolder.string()));
    const QString path = dialogs_.openFile(this, toQString(filter), folder);
    return path.isEmpty() ? faces::Path() : toPath(path);
}
