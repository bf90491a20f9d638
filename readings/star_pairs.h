// The star-pair file: hosi2dat.txt in the program folder, Shift-JIS, made from
// its seed when missing. A block is a key line "#A-B" compared as a whole, then
// its text lines up to the next line that begins with "#". A block that meets
// an empty line or the end of the file ends there. The readings look blocks up
// in the file as read (StarPairTexts, reading_texts.h).
#pragma once

#include <QString>
#include <QStringList>

namespace zelvara {

class MessageSink;

class StarPairFile {
public:
    static constexpr const char* kFileName = "hosi2dat.txt";
    static constexpr const char* kSeedName = "hosi2dat.txt";

    StarPairFile() = default;
    explicit StarPairFile(QString path) : path_(std::move(path)) {}

    // Where the file lies; when it is missing, writes it in Shift-JIS from the
    // UTF-8 seed found in the first of seedFolders that has one. An existing
    // file is never replaced. False (reported) when it could not be made.
    bool Prepare(const QString& folder, const QStringList& seedFolders, MessageSink& sink);
    QString FilePath() const { return path_; }

private:
    QString path_;
};

}  // namespace zelvara
