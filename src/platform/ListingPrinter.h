#pragma once

#include <QDate>
#include <QString>

class QPrinter;

// The printed listing of a text: a heading, "DATE:" with today's short date on
// the next line, then the body from 600 twips down, one copy after another in one
// job, longer bodies continuing on further pages.
namespace ListingPrinter {

struct Listing
{
    QString heading; // "RECEIVE: FILE CONTENT", "SEND: FILE CONTENT"
    QString body; // lines ended by CR LF or LF
    QDate date = QDate::currentDate();
};

// Prints copies of the listing on printer; returns false when the printer fails.
bool print(QPrinter& printer, const Listing& listing, int copies);

} // namespace ListingPrinter
