#include "clsCommonDialog.h"

QStringList clsCommonDialog::convertFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QString pattern = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        if (description.isEmpty() && pattern.isEmpty())
            continue; // the empty piece after a trailing "|"
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (pattern.isEmpty())
            pattern = QStringLiteral("*");
        // The toolkit reads the patterns from the last parentheses of the text.
        const QString inParentheses = QLatin1Char('(') + pattern + QLatin1Char(')');
        filters << (description.endsWith(inParentheses)
                        ? description
                        : (description.isEmpty() ? inParentheses
                                                 : description + QLatin1Char(' ') + inParentheses));
    }
    return filters;
}

FileDialogRequest clsCommonDialog::baseRequest(QWidget* hwnd, const QString& title,
                                               const QString& filter, std::uint32_t flags) const {
    FileDialogRequest request;
    request.owner = hwnd;
    request.title = title;
    request.nameFilters = convertFilter(filter);
    request.selectedFilter = m_filterIndex > 0 ? m_filterIndex : 1;
    request.existingFileOnly = (flags & OFN_FILEMUSTEXIST) != 0;
    request.confirmOverwrite = (flags & OFN_OVERWRITEPROMPT) != 0;
    return request;
}

QString clsCommonDialog::ShowOpen(QWidget* hwnd, const QString& Title, const QString& InitDir,
                                  const QString& Filter, std::uint32_t flags) {
    FileDialogRequest request = baseRequest(hwnd, Title, Filter, flags);
    request.kind = FileDialogRequest::Kind::Open;
    request.initialDirectory = InitDir.isEmpty() ? m_lastPath : InitDir;
    const FileDialogAnswer answer = m_backend.run(request);
    // The path exactly as chosen: a name may begin or end with a space.
    const QString path = answer.accepted ? answer.path : QString();
    if (!path.isEmpty()) {
        m_lastPath = path;
        m_filterIndex = answer.filterIndex;
    }
    return path;
}

QString clsCommonDialog::ShowSave(QWidget* hwnd, const QString& Title, const QString& FileName,
                                  const QString& InitDir, const QString& Filter,
                                  std::uint32_t flags) {
    FileDialogRequest request = baseRequest(hwnd, Title, Filter, flags);
    request.kind = FileDialogRequest::Kind::Save;
    request.fileName = FileName;
    request.initialDirectory = InitDir;
    request.defaultSuffix = QStringLiteral("gpl");
    const FileDialogAnswer answer = m_backend.run(request);
    if (!answer.accepted)
        return {};
    m_filterIndex = answer.filterIndex;
    return answer.path;
}
