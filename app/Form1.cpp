#include "Form1.h"

#include "Artwork.h"
#include "FileDialogBackend.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "PokemonListBox.h"
#include "Prompter.h"
#include "RecordForm.h"
#include "UiText.h"

#include "EntryRules.h"
#include "FileAccess.h"
#include "Identification.h"
#include "RecordStore.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QWindow>

namespace {

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

Form1::Form1(AppServices services, QWidget* parent) : QMainWindow(parent), m_services(services) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(uitext::programName());
    setWindowIcon(artwork::programIcon());
    m_ui.setupUi(this);
    m_record = std::make_unique<RecordForm>(m_ui);
    setFixedSize(sizeHint());

    connect(m_ui.mnuOpen, &QAction::triggered, this, &Form1::openRom);
    connect(m_ui.pkmnlst, &PokemonListBox::entryChosen, this, &Form1::loadSpecies);
    connect(m_ui.mnuSave, &QAction::triggered, this, &Form1::saveSpecies);
    connect(m_ui.mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui.mnuNoGender, &QAction::triggered, this, [this] { showHelpDialog(new Form3); });
    connect(m_ui.mnuReadError, &QAction::triggered, this, [this] { showHelpDialog(new Form4); });
    connect(m_ui.mnuAbout, &QAction::triggered, this, [this] { showHelpDialog(new Form2); });
}

Form1::~Form1() {
    delete m_dialog.data();
}

// Disabling the window blocks the user's input, but not an action triggered from code.
bool Form1::takesInput() const {
    return isEnabled() && !m_dialog;
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_dialog)
        m_dialog->close();
    event->accept();
}

void Form1::openRom() {
    if (!takesInput())
        return;
    // Every time afresh: the folder the program runs in, the first filter.
    FileDialogRequest request;
    request.owner = this;
    request.title = QStringLiteral("Open Pokémon Diamond, Pearl or Platinum ROM...");
    request.nameFilters = {QStringLiteral("NDS ROMs (*.nds)")};
    request.existingFileOnly = true;
    const FileDialogAnswer answer = m_services.fileDialogs.run(request);
    if (!answer.accepted || answer.path.isEmpty())
        return;
    const QString& path = answer.path;

    const std::string file = localPath(path);
    // A FIFO, a device or a folder is no image: say so before touching it, or its mode.
    files::FileStatus status;
    if (m_services.io.status(file, status) == 0 && !status.isRegular()) {
        reportFailure(files::Error::notRegular(file, status.kind()));
        return;
    }
    const files::Result<const nds::GameEdition*> found = nds::identifyImage(m_services.io, file);
    if (!found.ok()) {
        if (found.error().kind != files::Error::Kind::Unsupported) {
            reportFailure(found.error());
            return;
        }
        // The image opened before stays current, so nothing touches the rejected file.
        m_services.prompter.showMessage(this, Prompter::Icon::Warning, uitext::programName(),
                                        QStringLiteral("Unsupported ROM"));
        return;
    }
    // Only an image it will work on has its mode changed. Read-only media, an immutable file or
    // another user's file can still be viewed.
    const files::Status writable = files::makeOwnerWritable(m_services.io, file);
    acceptImage(path, *found.value());
    if (!writable.ok())
        m_services.prompter.showMessage(
            this, Prompter::Icon::Warning, uitext::programName(),
            QString::fromStdString(writable.error().describe()) +
                QStringLiteral(" The image is open for viewing, but saving into it will fail."));
}

void Form1::acceptImage(const QString& path, const nds::GameEdition& edition) {
    m_RomPath = path;
    m_GameCode = uitext::fromUtf8(edition.code);
    m_ui.header->setText(uitext::fromUtf8(edition.title));
    m_ui.language->setText(uitext::fromUtf8(edition.language));
    m_ui.code->setText(m_GameCode);
    m_ui.code->setToolTip(QString()); // until a load finds the new image's table
    setWindowTitle(QString::fromStdString(edition.caption()));
    QWidget* const opened[] = {m_ui.frameLoaded, m_ui.framePkmn, m_ui.pkmnlst,
                               m_ui.Label13,     m_ui.label14,   m_ui.Label15};
    for (QWidget* widget : opened)
        widget->setEnabled(true);
    // The values on view belong to the previous image, and perhaps to another edition's
    // table: saving them into this one waits for a load from it.
    m_ui.mnuSave->setEnabled(false);
}

void Form1::enableEditing() {
    for (QWidget* widget : m_ui.editingControls())
        widget->setEnabled(true);
}

void Form1::loadSpecies(int row) {
    if (!takesInput() || row < 0)
        return;
    enableEditing();
    m_ListPos = static_cast<qint16>(row);
    const nds::GameEdition* edition = nds::findEdition(m_GameCode.toStdString());
    if (!edition)
        return; // only an identified image makes the list usable

    files::Result<species::RecordRead> read =
        species::readRecord(m_services.io, localPath(m_RomPath), *edition, row);
    if (!read.ok()) {
        reportFailure(read.error());
        // Nothing of another entry may stay on view to be saved over this one.
        m_record->clear();
        m_ui.mnuSave->setEnabled(false);
        return;
    }
    showTablePlace(read.value().place);
    m_record->show(species::decodeRecord(read.value().bytes), row);
    m_ui.mnuSave->setEnabled(true);

    switch (species::alternateFormNote(row)) {
    case species::FormNote::Deoxys:
        m_services.prompter.showMessage(
            this, Prompter::Icon::Information, uitext::programName(),
            QStringLiteral("Please note that Deoxys' alternate formes can be edited below."));
        break;
    case species::FormNote::Wormadam:
        m_services.prompter.showMessage(
            this, Prompter::Icon::Information, uitext::programName(),
            QStringLiteral("Please note that Wormadam's other cloaks can be edited below."));
        break;
    case species::FormNote::None:
        break;
    }
}

void Form1::saveSpecies() {
    if (!takesInput() || !m_ui.mnuSave->isEnabled())
        return;
    const int row = m_ui.pkmnlst->selectedRow();
    const nds::GameEdition* edition = nds::findEdition(m_GameCode.toStdString());
    if (row < 0 || !edition)
        return;
    m_ListPos = static_cast<qint16>(row);
    if (!m_record->statsValid()) {
        m_services.prompter.showMessage(
            this, Prompter::Icon::Warning, uitext::programName(),
            QStringLiteral("Please enter Base Stat values between 0 and 255."));
        return;
    }
    // The table is found afresh: another tool may have moved it, or removed it, since the load.
    const files::Result<species::TablePlace> saved = species::saveRecord(
        m_services.io, localPath(m_RomPath), *edition, row, m_record->edit(row));
    if (!saved.ok()) {
        reportFailure(saved.error());
        if (saved.error().kind == files::Error::Kind::BadContent) {
            m_record->clear();
            m_ui.mnuSave->setEnabled(false);
        }
        return;
    }
    showTablePlace(saved.value());
    m_services.prompter.showMessage(this, Prompter::Icon::Information, uitext::programName(),
                                    QStringLiteral("Pokémon Data Saved Successfully!"));
}

void Form1::reportFailure(const files::Error& error) {
    if (error.kind != files::Error::Kind::BadContent &&
        error.kind != files::Error::Kind::NotRegularFile) {
        // Only the system's own error numbers mean anything to the user.
        m_services.prompter.showMessage(this, Prompter::Icon::None,
                                        error.systemError != 0
                                            ? QStringLiteral("Error: %1").arg(error.systemError)
                                            : uitext::programName(),
                                        QString::fromStdString(error.describe()));
        return;
    }
    m_services.prompter.showMessage(this, Prompter::Icon::Warning, uitext::programName(),
                                    QString::fromStdString(error.describe()) +
                                        QStringLiteral(" Nothing was read or written."));
}

void Form1::showTablePlace(const species::TablePlace& place) {
    m_RecordBase = QString::number(place.base);
    const QString offset =
        QStringLiteral("%1 (0x%2)").arg(place.base).arg(QString::number(place.base, 16).toUpper());
    m_ui.code->setToolTip(
        place.archive.empty()
            ? QStringLiteral("Base-stat table at offset %1, where %2 keeps it: the image has no "
                             "file system")
                  .arg(offset, m_GameCode)
            : QStringLiteral("Base-stat table: %1, from offset %2")
                  .arg(QString::fromStdString(place.archive), offset));
}

void Form1::showHelpDialog(HelpDialog* dialog) {
    if (!takesInput()) {
        delete dialog;
        return;
    }
    m_dialog = dialog;
    connect(dialog, &HelpDialog::dismissed, this, [this] {
        setEnabled(true);
        m_dialog = nullptr;
    });
    dialog->winId(); // a native window, so the dialog can stay above this one
    if (QWindow* handle = dialog->windowHandle())
        handle->setTransientParent(windowHandle());
    dialog->show();
    setEnabled(false);
}
