#include "ListingPrinter.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QStringList>

namespace ListingPrinter {

namespace {

    constexpr double TwipsPerInch = 1440.0;
    constexpr double HeadingOffsetTwips = 2440.0;
    constexpr double DateColumnTwips = 6990.0;
    constexpr double BodyTopTwips = 600.0;

    QStringList bodyLines(const QString& body)
    {
        QString text = body;
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QStringList lines = text.split(QLatin1Char('\n'));
        // The line end of the last line starts no further line.
        if (!lines.isEmpty() && lines.constLast().isEmpty())
            lines.removeLast();
        return lines;
    }

    // A print position that moves down one line per printed line, starting a new
    // page when the next line would pass the bottom of the printable area.
    class Pen
    {
    public:
        Pen(QPrinter& printer, QPainter& painter)
            : m_printer(printer)
            , m_painter(painter)
            , m_metrics(painter.font(), &printer)
            , m_twip(printer.resolution() / TwipsPerInch)
        {
        }

        double twips(double value) const { return value * m_twip; }
        double textWidth(const QString& text) const { return m_metrics.horizontalAdvance(text); }
        double pageWidth() const { return m_painter.viewport().width(); }

        void setY(double y) { m_y = y; }

        bool printLine(double x, const QString& text)
        {
            if (m_y > 0 && m_y + m_metrics.height() > m_painter.viewport().height()) {
                if (!m_printer.newPage())
                    return false;
                m_y = 0;
            }
            m_painter.drawText(QPointF(x, m_y + m_metrics.ascent()), text);
            m_y += m_metrics.lineSpacing();
            return true;
        }

    private:
        QPrinter& m_printer;
        QPainter& m_painter;
        QFontMetricsF m_metrics;
        double m_twip;
        double m_y = 0;
    };

} // namespace

bool print(QPrinter& printer, const Listing& listing, int copies)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    Pen pen(printer, painter);
    const QStringList lines = bodyLines(listing.body);
    const QString date = QStringLiteral("DATE:") + QLocale().toString(listing.date, QLocale::ShortFormat);
    // The heading's place is measured from the word "page", as the listing has always been laid out.
    const double headingX
        = pen.pageWidth() / 2 - pen.textWidth(QStringLiteral("page")) / 2 - pen.twips(HeadingOffsetTwips);
    bool ok = true;
    for (int copy = 0; ok && copy < copies; ++copy) {
        // Every copy starts on a page of its own.
        if (copy > 0 && !printer.newPage()) {
            ok = false;
            break;
        }
        pen.setY(0);
        ok = pen.printLine(std::max(0.0, headingX), listing.heading)
            && pen.printLine(pen.twips(DateColumnTwips), date);
        pen.setY(pen.twips(BodyTopTwips));
        for (const QString& line : lines) {
            if (!ok)
                break;
            ok = pen.printLine(0, line);
        }
    }
    ok = painter.end() && ok;
    return ok && printer.printerState() != QPrinter::Error;
}

} // namespace ListingPrinter
