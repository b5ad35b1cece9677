#include "output/svg_text_runs.h"

#include <QFont>
#include <QRegularExpression>
#include <QString>

namespace miratos::output {

QByteArray joinSvgTextRuns(const QByteArray& svg)
{
    const QString text = QString::fromUtf8(svg);
    static const QRegularExpression run(QStringLiteral(R"(<text ([^>]*?) x="[^"]*"( [^>]*)>([^<]*)</text>)"));
    QString out;
    out.reserve(text.size());
    qsizetype copied = 0;   // text[0, copied) is in out: up to the end of the last run
    QString openAttributes; // the attributes but x of the last run
    qsizetype openEnd = -1; // where the last run's content ends in out; -1 before the first
    for (auto it = run.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString attributes = m.captured(1) + m.captured(2);
        const bool adjacent = openEnd >= 0 && QStringView(text).mid(copied, m.capturedStart() - copied).trimmed().isEmpty();
        if (adjacent && attributes == openAttributes) {
            out.insert(openEnd, m.captured(3));
            openEnd += m.capturedLength(3);
        } else {
            out += QStringView(text).mid(copied, m.capturedStart() - copied);
            out += QStringView(text).mid(m.capturedStart(), m.capturedLength());
            openEnd = out.size() - static_cast<qsizetype>(sizeof("</text>") - 1);
            openAttributes = attributes;
        }
        copied = m.capturedEnd();
    }
    out += QStringView(text).mid(copied);
    return out.toUtf8();
}

QByteArray addSvgFontFallbacks(const QByteArray& svg)
{
    const QString text = QString::fromUtf8(svg);
    static const QRegularExpression family(QStringLiteral(R"re(font-family="([^",']*)")re"));
    QString out;
    qsizetype copied = 0;
    for (auto it = family.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QStringList names{m.captured(1)};
        for (const QString& f : QFont::substitutes(m.captured(1)))
            names << u'\'' + f + u'\'';
        names << QStringLiteral("sans-serif");
        out += QStringView(text).mid(copied, m.capturedStart() - copied);
        out += QStringLiteral("font-family=\"") + names.join(QStringLiteral(", ")) + u'"';
        copied = m.capturedEnd();
    }
    out += QStringView(text).mid(copied);
    return out.toUtf8();
}

} // namespace miratos::output
