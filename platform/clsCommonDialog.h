#pragma once

#include "FileDialogBackend.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

// Open and save dialogs behind plain texts: a title, a starting folder and a filter list
// written as "Description|pattern|Description|pattern". One instance remembers the last path
// it returned and the filter chosen last, for its next dialog.
class clsCommonDialog {
public:
    // Flags of the classic open/save dialog that this wrapper honours.
    static constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x2;
    static constexpr std::uint32_t OFN_HIDEREADONLY = 0x4; // there is no read-only box anyway
    static constexpr std::uint32_t OFN_PATHMUSTEXIST = 0x800;
    static constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x1000;

    explicit clsCommonDialog(FileDialogBackend& backend) : m_backend(backend) {}

    // The chosen full path, or empty text when the user cancels. An empty InitDir starts at
    // the last path this instance returned.
    QString ShowOpen(QWidget* hwnd, const QString& Title, const QString& InitDir,
                     const QString& Filter, std::uint32_t flags);
    // As ShowOpen, with FileName preset and ".gpl" added to a name typed without extension.
    QString ShowSave(QWidget* hwnd, const QString& Title, const QString& FileName,
                     const QString& InitDir, const QString& Filter, std::uint32_t flags);
    // 1-based position of the filter chosen when the last accepted dialog closed; 0 before.
    [[nodiscard]] int FilterIndex() const { return m_filterIndex; }

    // "NDS ROMs (*.nds)|*.nds" as the toolkit's filters: {"NDS ROMs (*.nds)"}.
    [[nodiscard]] static QStringList convertFilter(const QString& filter);

private:
    FileDialogRequest baseRequest(QWidget* hwnd, const QString& title, const QString& filter,
                                  std::uint32_t flags) const;

    FileDialogBackend& m_backend;
    QString m_lastPath;
    int m_filterIndex = 0;
};
