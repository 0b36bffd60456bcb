#pragma once

// Ids of the program's texts in CStringTable. Numbers are fixed: they name the
// texts in translations and in scripted test answers.

// Site build
constexpr int IDS_BUILD_NO_FOLDER = 2014;   // temporary folder could not be made
constexpr int IDS_BUILD_VALIDATING = 2015;  // phase label
constexpr int IDS_BUILD_DATA = 2016;        // phase label
constexpr int IDS_BUILD_MOUSEOVER_OVERLAPPED = 2018;
constexpr int IDS_BUILD_WRITING = 2019;     // phase label
constexpr int IDS_BUILD_CANNOT_WRITE = 2020; // a built file could not be written: "file: reason"
constexpr int IDS_PAGE_FILE_PREFIX = 2022;  // "Side" + position + ".html"

// Accessibility report of a build: one line per finding ("%s": page, item,
// then the finding's detail), a heading and the line for an empty report.
constexpr int IDS_ACCESS_NO_ALT_TEXT = 2200;
constexpr int IDS_ACCESS_MISSING_PAGE = 2201;
constexpr int IDS_ACCESS_MISSING_FILE = 2202;
constexpr int IDS_ACCESS_LOW_CONTRAST = 2203;
constexpr int IDS_ACCESS_NOTHING_FOUND = 2204;
constexpr int IDS_ACCESS_HEADING = 2205; // "%s": the number of findings

// Status bar hints of the page view
constexpr int IDS_HINT_RESIZE_KEYS = 2030;
constexpr int IDS_HINT_ROTATE_KEYS = 2031;
constexpr int IDS_HINT_EDIT_TEXT = 2032;
constexpr int IDS_HINT_TEXT_WIDTH = 2033;
constexpr int IDS_HINT_MOVE_TEXT_AREA = 2034;
constexpr int IDS_HINT_RESIZE = 2036;
constexpr int IDS_HINT_ROTATE = 2037;
constexpr int IDS_HINT_MOVE = 2038;
constexpr int IDS_HINT_PIPETTE = 2040;
constexpr int IDS_SECONDS = 2064;
constexpr int IDS_FRONT_PAGE_SUFFIX = 2081; // appended to the front page in page lists

// Menus and page handling
constexpr int IDS_MENU_HIDE_GUIDES = 3015;
constexpr int IDS_MENU_SHOW_GUIDES = 3016;
constexpr int IDS_UNTITLED = 3019;
constexpr int IDS_MENU_GROUP_UNGROUP = 3020; // neither possible (disabled)
constexpr int IDS_MENU_UNGROUP = 3021;
constexpr int IDS_MENU_GROUP = 3022;
constexpr int IDS_PAGE_ID_NOT_UNIQUE = 3023;
constexpr int IDS_PAGE_ID_PREFIX = 3025; // "Side" + number for new page identifiers

// Undo: the label of each step kind is IDS_UNDO_LABEL + the kind's number;
// the Edit menu wraps it in IDS_MENU_UNDO / IDS_MENU_REDO.
constexpr int IDS_UNDO_LABEL = 3100; // 3100 .. 3117
constexpr int IDS_MENU_UNDO = 3120;  // "&Fortryd %s\tCtrl+Z"
constexpr int IDS_MENU_REDO = 3121;
constexpr int IDS_MENU_UNDO_PLAIN = 3122; // no step to name
constexpr int IDS_MENU_REDO_PLAIN = 3123;

// Start-up checks
constexpr int IDS_NEED_16BIT_COLOUR = 4000;
constexpr int IDS_NEED_BROWSER = 4001;

// Main frame, notice pages, export
constexpr int IDS_DROP_ONE_FILE_ONLY = 5001;
constexpr int IDS_DROP_SITE_FILES_ONLY = 5004;
constexpr int IDS_NOTICE_OLD_BROWSER = 5006;
constexpr int IDS_NOTICE_NO_SCRIPT = 5008;
constexpr int IDS_CHOOSE_EXPORT_FOLDER = 5901;

// Status bar pane placeholders (they size the panes)
constexpr int IDS_PANE_PAGE_COUNT = 32850;
constexpr int IDS_PANE_DOWNLOAD_TIME = 32852;
constexpr int IDS_PANE_POSITION = 32857;

// Ids of the fixed dialogs in CStringTable::Dialog. Dialog ids are their own
// number space: dialog 5005 and string 5005 are unrelated.
constexpr int IDD_BUILD_STATUS = 374;
constexpr int IDD_BUILD_ERROR = 375;
constexpr int IDD_INTERNET_SETUP = 407;
constexpr int IDD_UPLOAD_STATUS = 408;
constexpr int IDD_MISSING_INTERNET_SETTINGS = 413;
constexpr int IDD_REMOVE_SITE = 416;
constexpr int IDD_NO_NETWORK = 468;           // no connection could be opened at all
constexpr int IDD_CANNOT_CREATE_FOLDER = 469;
constexpr int IDD_DELETE_FAILED = 470;
constexpr int IDD_UPLOAD_FAILED = 471;
constexpr int IDD_SITE_REMOVED = 472;
constexpr int IDD_SERVER_UNREACHABLE = 475;
constexpr int IDD_LOGIN_REFUSED = 476;
constexpr int IDD_READ_FOLDER_FAILED = 477;
constexpr int IDD_CONNECTION_LOST = 478;
constexpr int IDD_MISSING_DOCUMENT = 498;
constexpr int IDD_SEND_DOWNLOADS = 499;
constexpr int IDD_ADVANCED_SETTINGS = 539;
constexpr int IDD_SAVE_PROFILE = 540;
constexpr int IDD_DELETE_PROFILE = 541;
constexpr int IDD_CONNECTING = 5003;
constexpr int IDD_LARGE_OBJECTS = 5005;
constexpr int IDD_SEND = 5007;
constexpr int IDD_DELETE_SERVER_FILES = 5010;
constexpr int IDD_PUBLISHED = 5011;
constexpr int IDD_SITE_NOT_SAVED = 5015;
constexpr int IDD_INVALID_CATALOG = 5018;
constexpr int IDD_CERTIFICATE_REFUSED = 5101; // TLS: the server's certificate is not trusted
constexpr int IDD_PUBLISH_BUSY = 5102;        // another run publishes the same site or server
constexpr int IDD_NO_SNIPPETS = 5110;         // the snippet library is empty or missing
constexpr int IDD_HOST_KEY_UNKNOWN = 5103;    // SFTP: trust the server's unknown key?
constexpr int IDD_HOST_KEY_CHANGED = 5104;    // SFTP: the server shows another key (refused)
constexpr int IDD_HOST_KEY_NOT_STORED = 5105; // SFTP: an accepted key could not be stored
