#pragma once

#include <QByteArray>
#include <QString>

// One file written in two steps, so that a failure leaves the old file as it was.
//
// stage() puts the new bytes in a temporary file beside the target, then flushes and syncs it:
// a full disk, a missing permission or a folder shows here, with the old file untouched.
// commit() renames the temporary file over the target. A target that exists and is not a
// regular file (a device, a FIFO, /dev/stdout on a terminal or pipe) is never replaced: stage()
// keeps the bytes, and commit() writes them into it in place. A target that is a folder is
// refused. Destroying a StagedFile that was not committed removes its temporary file.
class StagedFile
{
public:
    explicit StagedFile(const QString& path);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    bool stage(const QByteArray& bytes, QString& error);
    bool commit(QString& error);
    // Written in place by commit(), so its failure can no longer be undone by the others.
    bool inPlace() const { return inPlace_; }

    // "Cannot write NAME: REASON." for the errno of a failed call.
    static QString failure(const QString& path, int errorNumber);
    // Writes all of `bytes` to an open descriptor; false with errno set.
    static bool writeAll(int fd, const QByteArray& bytes);

private:
    void discard();

    QString path_;      // as given, for messages and for writing in place
    QByteArray target_; // the file a rename replaces (symbolic links resolved)
    QByteArray temp_;   // the staged temporary file, empty when there is none
    QByteArray bytes_;  // kept for a target written in place
    bool inPlace_ = false;
};
