// Splitting a parent panel's message or a button event's text into the host's
// message record, name[.item1[.item2...]][=value]: the one split that hosts
// and components share, so that a component reads an event exactly as the
// host cut it.
#ifndef ZANT_SPLIT_MESSAGE_H
#define ZANT_SPLIT_MESSAGE_H

#include "host/zant_host.h"

// Fills `record` from `text`, a writable NUL-terminated copy that it cuts in
// place and keeps as `record->buffer`: the name ends at the first '.' or '=',
// only the first '=' counts, and the scan stops after the 32nd '.'. A null or
// empty `text` gives a null buffer. Every unfilled piece points to
// `emptyText`, a one-character empty text that must outlive the record.
void zant_split_message(char* text, char* emptyText, zant_message_record* record);

#endif  // ZANT_SPLIT_MESSAGE_H
