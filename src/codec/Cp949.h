#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace kavri::codec {

/// Text to CP949 bytes. The text is brought to NFC first, so a syllable sent as
/// separate jamo still prints as one character; a character CP949 cannot hold
/// (an emoji, even as a surrogate pair) becomes a single "?". Never fails.
QByteArray toCp949(const QString &text);

/// CP949 bytes to text. An invalid or cut-off sequence becomes one U+FFFD and
/// decoding goes on right after it (an ASCII byte after a bad lead byte is kept).
QString fromCp949(const QByteArray &bytes);

/// fromCp949() for bytes that come in pieces: a character cut between two pieces
/// is decoded whole, so the pieces' texts together are the whole input's text.
class Cp949Decoder
{
public:
    /// The text of the next piece; a lead byte at its end waits for the next one.
    QString decode(QByteArrayView bytes);
    /// What the end of the input leaves: one U+FFFD for a waiting lead byte.
    QString finish();

private:
    int m_lead = -1;
};

/// The number of bytes `text` takes in CP949.
qsizetype cp949Length(const QString &text);

} // namespace kavri::codec
