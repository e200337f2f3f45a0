#pragma once

#include "CopyMapping.h"
#include "EditHistory.h"
#include "FillFromHere.h"
#include "Layout.h"
#include "MappingCheck.h"
#include "MappingDiff.h"
#include "MappingTable.h"
#include "ParameterOrderFile.h"
#include "ParameterPlacements.h"
#include "SaveRecall.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <optional>

namespace ov::mapping {

// What Show Changes compares the table with: nothing, the plug-in's file on disk (unsaved
// changes), its ".prev" backup, its ".original" backup, or another parameter-order file.
enum class ChangesBase {
    None,
    SavedFile,
    Previous,
    Original,
    OtherFile
};

// One open mapping: the table with its page counters (plistBuild, curPage, totalPages), the mode
// (1 instrument, 0 insert/effect), the parameter list, the file as last loaded or saved, the undo
// history, where each parameter stands, and what Show Changes compares with. Every edit goes
// through one call here and is one undo step; the editor and ovmap share it.
class MappingDocument : public MappingTable {
public:
    int plugin_Mode = 0;

    // ---- opening and closing ----

    // Takes the table, the mode and the list of a load, shows page 1 and starts a new history. `ownFile` is the
    // plug-in's own file the mapping was read from, the one edits are measured against and saved
    // to; empty for a mapping read from elsewhere (a download), which is not in that file until
    // saved. `modeDecided`: the load decided the mode from the file, which is then the saved mode.
    void load(const LoadedMapping &loaded, const QString &ownFile, bool modeDecided);
    // Reads the file as `ovmap` and the editor open it: the list of unique parameters is added in
    // memory when the file lacks one (`listAdded`), and the mode is decided from the file.
    struct Opened;
    static Opened open(const QString &path);
    // Forgets the open file, its history and its list; the table itself stays as it was.
    void close();
    // Closes and empties the table: nothing of it can be saved.
    void unload();
    bool isOpen() const { return m_saved.open; }
    // The plug-in's own file, empty while none is open.
    const QString &filePath() const { return m_saved.path; }
    // The parameter list as loaded, in its own order, the empty entry first.
    const QVector<ParameterEntry> &available() const { return m_available; }

    // ---- edits; each is one undo step, and none when it changes nothing ----

    // Puts `source`'s parameter on `slot`; whether a real parameter (not "-") now stands there, or
    // nothing when there is no such slot.
    std::optional<bool> assign(const ParameterEntry &source, int slot);
    // Exchanges two slots' parameters; whether a real parameter now stands on `to`.
    std::optional<bool> swap(int from, int to);
    // Appends an empty page and shows it.
    void addPage();
    // Deletes the page shown; page 1 is refused (false, nothing changes).
    bool deletePage();
    // Empties the page shown.
    void clearPage();
    // Exchanges two pages and shows `toPage`; false when refused.
    bool exchangePages(int fromPage, int toPage);
    std::optional<FillResult> fill(int page, int control, const QString &search = {});
    CopyResult copyFrom(const QVector<ParameterEntry> &other);
    // Moves each control whose parameter the list lacks onto the one of the same name, or empties it.
    RepairResult repair();
    // Replaces the table by the layout put on the list's parameters, and shows page 1.
    LayoutFit applyLayout(const Layout &layout);
    // The mode to save; the table stays.
    void setMode(int mode) { plugin_Mode = mode; }

    // ---- undo ----

    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    QString undoName() const { return m_history.undoName(); }
    QString redoName() const { return m_history.redoName(); }
    // Take back the last step, or do it again; the page shown and the page count come back with it.
    bool undo();
    bool redo();

    // ---- unsaved edits ----

    // Whether the table differs from the file as last loaded or saved.
    bool hasTableEdits() const;
    // Whether the table or the mode differs from it.
    bool isModified() const;
    // How many slots differ from it, while the two are as long as each other.
    qsizetype differingSlots() const { return m_saved.differingSlots; }

    // ---- saving and recall ----

    // Writes the table and the mode into the open file with its ".original" and ".prev" backups;
    // on success that is what edits are measured against from then on.
    SaveResult save();
    // Puts the backup with `suffix` back over `path`, and returns what the file held before it
    // (nothing when that could not be read), to be offered by `offerUndoOfRecall` once the file is
    // loaded again.
    struct Recalled {
        RecallResult result;
        std::optional<LoadedMapping> replaced;
    };
    static Recalled recall(const QString &path, const QString &suffix, int mode);
    // One undo step that brings back the table a recall replaced, as unsaved edits.
    void offerUndoOfRecall(const LoadedMapping &replaced);

    // ---- where parameters stand, and Show Changes ----

    // The slots holding `entry`'s parameter, in table order.
    std::span<const int> slotsOf(const ParameterEntry &entry) const { return m_placements.slotsOf(entry); }
    // For each parameter of the list, in its order, the slots it stands on.
    QVector<QVector<int>> placementsOfAvailable() const;

    // Chooses what the table is compared with, and reads it (`otherFile` for OtherFile); false when
    // it is a file that cannot be read, `changesBaseError` then saying why.
    bool compareWith(ChangesBase base, const QString &otherFile = {});
    ChangesBase changesBase() const { return m_changesBase; }
    const QString &changesBaseError() const { return m_changesBaseError; }
    // The slots that differ from what the table is compared with, in order, as entry strings.
    const QVector<SlotDifference> &differences() const { return m_differences; }
    // The slots that differ from what the table is compared with, with the parameter each held
    // there; and the pages that hold them, in order. Nothing to compare with: both empty and
    // `isComparing` false.
    const QHash<int, QString> &changedSlots() const { return m_changedSlots; }
    const QVector<int> &changedPages() const { return m_changedPages; }
    bool isComparing() const { return m_changesBaseTable.has_value(); }

private:
    struct Saved {
        bool open = false;
        QString path;
        QVector<ParameterEntry> plistBuild;
        int plugin_Mode = 0;
        qsizetype differingSlots = 0;
    };

    // Records, as one step, slots rewritten in place: each run [first, first + count) as it was.
    template <typename Edit>
    auto rewriteSlots(const QString &name, std::initializer_list<std::pair<int, int>> runs, Edit edit);
    // Records the step just closed or taken back, and follows it.
    void changed(const QVector<TableChange> &changes);
    void tableReplaced();
    void countDifferingSlots(const QVector<TableChange> &changes);
    bool readChangesBase();
    void compare();

    QVector<ParameterEntry> m_available;
    Saved m_saved;
    EditHistory m_history;
    ParameterPlacements m_placements;
    ChangesBase m_changesBase = ChangesBase::None;
    QString m_otherFile;
    QString m_changesBaseError;
    QVector<SlotDifference> m_differences;
    std::optional<QVector<ParameterEntry>> m_changesBaseTable;
    QHash<int, QString> m_changedSlots;
    QVector<int> m_changedPages;
};

struct MappingDocument::Opened {
    std::optional<LoadedMapping> loaded; // nothing when the file cannot be read
    bool listAdded = false;
    PlistDocument file; // the file's content as read, with the list added
    QString detail;     // why it cannot be read
};

} // namespace ov::mapping
