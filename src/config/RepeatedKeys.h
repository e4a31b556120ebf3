#pragma once
// A JSON object may repeat a key; the parser keeps the last member. Qt 5's
// parser loses the memory of an earlier array or object value it drops, so
// the text is handed to it without the earlier members.

#include <QByteArray>
#include <QString>
#include <QVector>

namespace configfile {

// A member whose key an object has already: the key as the file spells it,
// and the offset of the repeated member in the text.
struct RepeatedMember {
    QString key;
    int offset = 0;
};

// The text with every member whose key comes again later in the same object
// blanked out (key, value and comma turned into spaces): the same length, so
// the parser's error offsets stay those of the file. A member is blanked only
// when the parser takes it on its own, so no fault of the file is hidden;
// where the scan cannot follow the text, the rest is left for the parser.
// Each repeat found is added to repeats when that is given.
QByteArray withoutRepeatedKeys(const QByteArray& text, QVector<RepeatedMember>* repeats = nullptr);

}  // namespace configfile
