#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// One file written so that a failure leaves the old file as it was and the new file keeps what
// the old one was. stage() checks the target and readies the new contents; commit() puts them
// in place; restore() undoes a commit where it can. What each kind of target gets:
//
// - A regular file that can be replaced, or a new file: the bytes go into a temporary file
//   beside it, created 0600 (or stricter, as the old file), written and synced by stage(), with
//   the old file's owner and group where permitted. commit() gives it the old mode (a setuid or
//   setgid bit only where the writer owns the file) and renames it over the target: any failure
//   leaves the old file byte for byte, and restore() puts it back.
// - A regular file with other names (hard links), or one this user may write but not replace
//   (a folder without write permission, another user's file in a sticky folder): written in
//   place by commit(), after stage() has the old bytes and the room for the new ones, so a
//   full disk fails before anything changes; a failure while writing can damage it, and
//   restore() writes the old bytes back.
// - A path that names a descriptor of this process (/dev/stdout, /proc/self/fd/N) or a file it
//   has open for writing (a redirected standard output): written through that descriptor at its
//   current offset, so an appending redirection keeps what was there. A device, FIFO or socket:
//   opened and written in place. Neither can be restored.
//
// A link is followed to its file; a dangling link and a folder are refused. Temporary files are
// removed when the StagedFile goes, when SIGINT, SIGTERM or SIGHUP stops the process, and, if
// it was killed outright, by the next write of that target after a minute.
class StagedFile
{
public:
    explicit StagedFile(const QString& path);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    bool stage(const QByteArray& bytes, QString& error);
    // stage() in pieces as they are made: begin() checks the target, add() puts each piece
    // into the temporary file (kept in memory for the ways that write in place), end() syncs
    // them. After a failure the StagedFile is discarded.
    bool begin(QString& error);
    bool add(const QByteArray& bytes, QString& error);
    bool end(QString& error);
    bool commit(QString& error);
    bool restore();
    // Written in place by commit(), so its failure can no longer be undone by the others.
    bool inPlace() const { return way_ != Way::Replace; }

    // Written in place, without a regular file of its own (a device, a standard stream).
    static bool isSpecial(const QString& path);
    // "Cannot write NAME: REASON." for the errno of a failed call.
    static QString failure(const QString& path, int errorNumber);
    // Writes all of `bytes` to an open descriptor; false with errno set.
    static bool writeAll(int fd, const QByteArray& bytes);

private:
    enum class Way
    {
        Replace,
        InPlace,
        Descriptor,
        Special
    };

    bool stageFile(QString& error);
    bool stageInPlace(QString& error);
    bool commitReplace(QString& error);
    bool commitInPlace(const QByteArray& bytes, QString& error);
    bool commitSpecial(QString& error);
    QByteArray newName() const; // a free temporary name beside the target
    void discard();

    QString path_;        // as given, for messages and for writing in place
    QByteArray target_;   // the regular file itself (links resolved)
    QByteArray folder_;   // the target's folder, with its final slash
    QByteArray base_;     // the target's name, or a shorter stand-in for temporary names
    QByteArray temp_;     // the staged temporary file, empty when there is none
    QByteArray backup_;   // a second name of the replaced file, until the caller is done
    QByteArray bytes_;    // the new contents, for the ways that write in place
    QByteArray oldBytes_; // the old contents of a regular file written in place
    struct stat oldStat_ = {};
    Way way_ = Way::Replace;
    bool existed_ = false;
    bool haveOld_ = false;
    bool committed_ = false;
    int fd_ = -1; // the open temporary file, or the descriptor to write through
    int tempSlot_ = -1;
    int backupSlot_ = -1;
};
