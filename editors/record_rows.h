// Adding and removing whole records of a reading-text table for the editor's
// navigator. Each change is one transaction on the table's file; the caller
// then reloads the shared table so that readings and editors see it.
#pragma once

class QString;

namespace zelvara {

class MessageSink;
class ReadingTable;

// Appends a record whose No is one above the highest (1 in an empty table);
// every other field empty. The new record comes last in table order.
bool AppendRecord(const ReadingTable& table, MessageSink& sink);

// Removes the record at position row of the table order. In a table keyed by
// No the record is found by its No, else by its place in the file.
bool RemoveRecord(const ReadingTable& table, int row, const QString& no, MessageSink& sink);

// Reads the table's file again and stands on row (clamped to the records).
bool ReloadTable(ReadingTable& table, int row);

}  // namespace zelvara
