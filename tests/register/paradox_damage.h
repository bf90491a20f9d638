// Damage done to a sound Paradox table as a broken disk, a bad copy or an
// attacker would: bytes of its header, field list or first data block
// changed in place. Offsets are those of the Paradox header (numbers
// little-endian); the field list of a table pxlib writes starts at 0x78.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <cstdint>

namespace paradox_damage {

struct Damage {
    const char* name;  // also the corpus file's name
    int offset;        // −1: from the first data block (header size + offset2)
    int offset2;
    QByteArray bytes;  // written there; empty: the file is cut to `offset` bytes
};

inline QByteArray Le(std::uint32_t value, int size) {
    QByteArray bytes;
    for (int i = 0; i < size; ++i) bytes.append(char((value >> (8 * i)) & 0xFF));
    return bytes;
}

// Each leaves the header count, field list or blocks inconsistent.
inline QList<Damage> Damages() {
    return {
        {"length-byte-255", 0x78 + 1, 0, Le(255, 1)},           // first field's length
        {"second-length-byte-255", 0x78 + 3, 0, Le(255, 1)},    // second field's length
        {"encryption-bit", 0x25, 0, Le(0xFF00FF01, 4)},         // one bit of the encryption field
        {"encryption-data-header", 0x5C, 0, Le(1, 4)},          // the key in the data header
        {"record-count-one", 0x06, 0, Le(1, 4)},                // header says 1 record
        {"record-count-max", 0x06, 0, Le(0x7FFFFFFF, 4)},       // 2^31 − 1 records
        {"record-count-negative", 0x06, 0, Le(0xFFFFFFFF, 4)},  // −1 records
        {"field-count-zero", 0x21, 0, Le(0, 2)},                // no fields
        {"field-count-huge", 0x21, 0, Le(0x7FFF, 2)},           // 32767 fields
        {"field-type-unknown", 0x78, 0, Le(0x7E, 1)},           // first field's type
        {"record-size-small", 0x00, 0, Le(8, 2)},               // record smaller than its fields
        {"block-count-huge", 0x0C, 0, Le(0xFFFF, 2)},           // blocks beyond the file's end
        {"block-loop", -1, 0, Le(1, 2)},                        // block 1 continues with block 1
        {"block-overfull", -1, 4, Le(0x7FF0, 2)},               // block holds more than fits
        {"block-ragged", -1, 4, Le(7, 2)},                      // not a whole number of records
        {"first-block-beyond", 0x0E, 0, Le(9, 2)},              // the chain starts past the last block
        {"header-cut", 100, 0, {}},                             // cut inside the header
    };
}

inline Damage Named(const char* name) {
    for (const Damage& d : Damages())
        if (qstrcmp(d.name, name) == 0) return d;
    return {name, 0, 0, {}};
}

// Applies the damage to the file at path; false when it cannot.
inline bool Apply(const QString& path, const Damage& damage) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return false;
    if (damage.bytes.isEmpty()) return file.resize(damage.offset);
    qint64 at = damage.offset;
    if (at < 0) {
        const QByteArray head = file.read(4);
        at = (quint8(head[2]) | quint8(head[3]) << 8) + damage.offset2;
    }
    return file.seek(at) && file.write(damage.bytes) == damage.bytes.size();
}

}  // namespace paradox_damage
