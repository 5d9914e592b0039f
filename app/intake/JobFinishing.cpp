// The finishing part of the PWG job ticket that brand "03" printers read.

#include "intake/Job.h"

#include "platform/TextUtil.h"

namespace {

// Option values go into XML element text: markup characters are escaped and
// control characters, which no ticket value needs, are dropped.
QString xmlText(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
            out += c;
    }
    return out;
}

} // namespace

QString Job::GetFinishingPJL()
{
    if (util::iequals(staple, QStringLiteral("None")))
        staple.clear();
    if (util::iequals(holePunch, QStringLiteral("None")))
        holePunch.clear();
    else if (holePunch.endsWith(QLatin1String("Edge")))
        holePunch.chop(4);
    if (booklet == QLatin1String("0"))
        booklet.clear();

    QString finishing;
    QString imposition;
    if (!booklet.isEmpty()) {
        // A booklet is folded or stitched; staples and holes do not apply.
        imposition =
            QStringLiteral("<NumberUp>2</NumberUp>\n<ImpositionTemplate>BookletSignature</ImpositionTemplate>\n");
        if (booklet == QLatin1String("1"))
            finishing = QStringLiteral("<Finishing>BookletFold</Finishing>\n<Finishing>BindLeftPortrait</Finishing>\n");
        else if (booklet == QLatin1String("2"))
            finishing =
                QStringLiteral("<Finishing>BookletMaker</Finishing>\n<Finishing>BindLeftPortrait</Finishing>\n");
    } else {
        if (!staple.isEmpty())
            finishing = QLatin1String("<Finishing>") + xmlText(staple) + QLatin1String("</Finishing>");
        if (!holePunch.isEmpty()) {
            // Wide enough that a huge hole count cannot overflow.
            const qlonglong holes = holeNumber.toInt() + 2LL;
            finishing += QLatin1String("<Finishing>Punch") + QString::number(holes) + QLatin1String("Hole") +
                         xmlText(holePunch) + QLatin1String("</Finishing>");
        }
    }
    if (!finishing.isEmpty())
        finishing = QLatin1String("<Finishings>\n") + finishing + QLatin1String("</Finishings>\n");

    if (!imposition.isEmpty())
        return imposition + finishing;
    return QStringLiteral("<ScalingFactor><ScalingFactorX>100</ScalingFactorX><ScalingFactorY>100</ScalingFactorY>"
                          "</ScalingFactor>") +
           finishing;
}
