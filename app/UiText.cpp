#include "UiText.h"

#include "Version.h"

#include <QFontDatabase>

namespace app::uitext {

QFont controlFont() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* candidate :
             {"Arial Unicode MS", "Liberation Sans", "Arial", "DejaVu Sans"})
            if (installed.contains(QLatin1String(candidate), Qt::CaseInsensitive))
                return QString::fromLatin1(candidate);
        return QString();
    }();
    QFont font = family.isEmpty() ? QFont() : QFont(family);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    return font;
}

QString listed(const QStringList& lines, qsizetype count) {
    if (count < lines.size())
        count = lines.size();
    const QStringList shown = lines.mid(0, kListedLines);
    if (count <= shown.size())
        return shown.join('\n');
    return shown.join('\n') + QStringLiteral("\nand %1 more").arg(count - shown.size());
}

QString counted(qsizetype count, const QString& one, const QString& many) {
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}

QString numberRangeMessage(int maximum) {
    if (maximum == 255)
        return QStringLiteral("Please enter Base Stat values between 0 and 255.");
    return QStringLiteral("Please enter a value between 0 and %1.").arg(maximum);
}

QString programName() {
    return QStringLiteral("Statwright");
}

QString folded(const QString& text) {
    QString plain;
    for (const QChar c : text.normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c.toLower();
    return plain;
}

QString imageCaption(std::string_view code) {
    return fromUtf8(code) + QStringLiteral(" - ") + programName();
}

QString versionLine() {
    return programName() + QStringLiteral(" " STATWRIGHT_VERSION);
}

QString noticeLine() {
    return QStringLiteral("© " STATWRIGHT_COPYRIGHT_YEAR " Statwright developers");
}

} // namespace app::uitext
