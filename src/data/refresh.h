#pragma once
// The shared refresh routine and the bounded save-wait.

class DataSource;

namespace Data {

// Lets pending events run, re-queries, moves to the last and back to the first record so the
// count is complete. Errors are left in the data source; the result says whether it worked.
bool refreshRoutine(DataSource* ds);
// The same without letting events run, for handlers that must not be re-entered meanwhile.
bool requery(DataSource* ds);

// Lets pending events run until the flag is cleared by the save notification. Ends as well when
// the save failed (the flag then stays set) or after timeoutMs, so a lost notification never hangs the desk.
// Returns true when the flag was cleared.
bool waitForSave(const bool& flag, int timeoutMs = 3000);

} // namespace Data
