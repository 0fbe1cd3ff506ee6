/* The contract of both archive libraries with their callers, named once: the events the
 * callback receives, the listing message, the reasons and error codes those messages
 * carry, and the answers the callback may give. zip/README.md describes each in words.
 * Plain C so that any caller can include it. */
#ifndef CWEVENTS_H
#define CWEVENTS_H

#ifdef __cplusplus
extern "C" {
#endif

/* Event codes (the callback's action argument). */
enum CwEvent {
    CW_EVENT_START = 10,           /* a run starts: 1 "0", 2 the set path */
    CW_EVENT_PROGRESS = 12,        /* cwZip: progress of one file */
    CW_EVENT_STORED = 13,          /* cwZip: one file is stored */
    CW_EVENT_FILE = 15,            /* cwUnzip: one file is about to be written */
    CW_EVENT_WRITING = 16,         /* cwUnzip: progress while one file is written, about every
                                      4 MiB: fields like event 15, then the percent */
    CW_EVENT_TESTED = 17,          /* cwUnzip_Test: one entry read and checked, whole */
    CW_EVENT_DELETING = 18,        /* cwUnzip: reserved, never sent */
    CW_EVENT_DELETED = 19,         /* cwUnzip: reserved, never sent */
    CW_EVENT_DISK = 20,            /* a disk is full (cwZip) or needed (cwUnzip) */
    CW_EVENT_LISTING = 21,         /* cwUnzip: one entry of a listing (field 2 of the message) */
    CW_EVENT_LISTING_DAMAGED = 26, /* cwUnzip: a listing's last message when the set has no
                                      readable directory and was listed from its local headers */
    CW_EVENT_UNREADABLE = 22,      /* cwZip: a file cannot be read and is left out */
    CW_EVENT_NOTHING = 22,         /* cwUnzip: nothing in the include list is in the set */
    CW_EVENT_WARNING = 23,         /* cwZip: a warning on a stored file */
    CW_EVENT_FAILED = 23,          /* cwUnzip: one file fails, with a reason */
    CW_EVENT_DUPLICATE = 24,       /* cwZip: a stored name already in the set */
    CW_EVENT_EXISTS = 24,          /* cwUnzip: the file to be written exists; answer below */
    CW_EVENT_FATAL = 255           /* the run stops: 3 the error code */
};

/* cwZip error codes (event 255, field 3). */
enum CwZipError {
    CW_ZIP_ERROR_NO_NAME = 1, /* no set name was given */
    CW_ZIP_ERROR_WRITE = 2,   /* the set or a volume cannot be created or written */
    CW_ZIP_ERROR_WRITER = 3,  /* the archive writer refused to go on */
    CW_ZIP_ERROR_STOPPED = 4, /* stopped at the user's request */
    CW_ZIP_ERROR_VERIFY = 5   /* the set on the disk differs from what was written */
};

/* Answers of the callback to cwZip's events 12 and 13. Any other answer goes on. */
enum CwZipAnswer {
    CW_ZIP_ANSWER_GO_ON = 0, /* the run goes on */
    CW_ZIP_ANSWER_STOP = 3   /* stop the run: event 255 with code 4 follows */
};

/* cwUnzip reasons (event 23, field 3). */
enum CwUnzipReason {
    CW_REASON_BAD_DATA = 1,     /* bad CRC, failed authentication, broken compressed data */
    CW_REASON_CANNOT_WRITE = 2, /* the file or its folder cannot be created or written */
    CW_REASON_UNSAFE = 3,       /* the name would leave the destination, or is a link */
    CW_REASON_SIZE = 4,         /* the data is longer or shorter than the entry declares */
    CW_REASON_UNSUPPORTED = 5,  /* a kind of entry this library does not restore */
    CW_REASON_NOT_IN_SET = 6,   /* an included name no entry answers to */
    CW_REASON_IN_USE = 9,       /* the file is busy */
    CW_REASON_PASSWORD = 14     /* wrong or missing password: the run stops */
};

/* cwUnzip error codes (event 255, field 3). */
enum CwUnzipError {
    CW_UNZIP_ERROR_NO_SET = 1,      /* the set cannot be opened or is not a ZIP */
    CW_UNZIP_ERROR_DISK = 2,        /* a disk asked for did not come */
    CW_UNZIP_ERROR_DESTINATION = 3, /* the destination folder cannot be opened */
    CW_UNZIP_ERROR_DAMAGED = 4,     /* the set is damaged beyond the current file */
    CW_UNZIP_ERROR_NO_SPACE = 5,    /* the chosen files do not fit the destination's free space */
    CW_UNZIP_ERROR_CANCELLED = 12   /* the user cancelled */
};

/* Answers of the callback to cwUnzip's event 24. Any other answer keeps the file.
 * CW_ANSWER_CANCEL is also the answer to events 15 and 16 that stops the run: the temporary
 * file being written is removed and event 255 with CW_UNZIP_ERROR_CANCELLED follows. */
enum CwReplaceAnswer {
    CW_ANSWER_REPLACE = 0,     /* replace this file */
    CW_ANSWER_REPLACE_ALL = 1, /* replace this one and every later one without asking */
    CW_ANSWER_SKIP = 2,        /* keep the existing file */
    CW_ANSWER_CANCEL = 3       /* stop the run: event 255 with code 12 follows */
};

#ifdef __cplusplus
}
#endif

#endif
