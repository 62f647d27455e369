// The parts of the Windows desktop platform that tests reach directly: the
// registry reading behind the mail program, the Simple MAPI hand-off with the
// send function given, and the browser command for help pages.
#pragma once

#include <windows.h>
// After windows.h:
#include <mapi.h>

#include <string>

#include "app/base/platform.h"

// The default value of a registry key as UTF-8; "" when the key or its value
// is missing or holds no text.
std::string RegistryDefaultValue(HKEY root, const wchar_t* subkey);

// The command registered for mailto: addresses: the current user's
// "Software\Classes\mailto\shell\open\command", else the classes root's
// "mailto\shell\open\command". The program passes HKEY_CURRENT_USER and
// HKEY_CLASSES_ROOT; "" when neither holds one.
std::string MailtoCommand(HKEY user, HKEY classes);

// Simple MAPI's wide structures, as the system's mapi.h declares them since
// Windows 8 (MinGW's mapi.h has only the ANSI ones).
struct MapiRecipDescWide {
    ULONG ulReserved;
    ULONG ulRecipClass;
    PWSTR lpszName;
    PWSTR lpszAddress;
    ULONG ulEIDSize;
    LPVOID lpEntryID;
};
struct MapiFileDescWide {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    PWSTR lpszPathName;
    PWSTR lpszFileName;
    LPVOID lpFileType;
};
struct MapiMessageWide {
    ULONG ulReserved;
    PWSTR lpszSubject;
    PWSTR lpszNoteText;
    PWSTR lpszMessageType;
    PWSTR lpszDateReceived;
    PWSTR lpszConversationID;
    FLAGS flFlags;
    MapiRecipDescWide* lpOriginator;
    ULONG nRecipCount;
    MapiRecipDescWide* lpRecips;
    ULONG nFileCount;
    MapiFileDescWide* lpFiles;
};
// Simple MAPI's MAPISendMailW.
using MapiSendMailFn = ULONG(WINAPI*)(LHANDLE, ULONG_PTR, MapiMessageWide*, FLAGS, ULONG);

// Hands the mail to send: one message with its subject, the body as note
// text, each address as a recipient ("SMTP:" + address) and the attachments
// as files, with the mail program's own dialog and its log-on allowed. The
// send function's answer.
ULONG SendThroughMapi(const MailRequest& mail, MapiSendMailFn send);

// The same through MAPISendMailW of the library (loaded for the call only).
// True when the mail program took the message, also when the user then
// cancelled it; false when the library or its function is missing or the
// mail program failed.
bool SendMailWithMapi(const MailRequest& mail, const wchar_t* library);

// Restores the running instance's main window (found by its window class and
// caption) and brings it to the front; false when it was not found within two
// seconds (it may still be opening).
bool RaiseRunningWindow();

// The command line that opens url with a program's registered command:
// "%1" (or "%L") replaced by url, which is appended quoted when the command
// has no place for it.
std::wstring BrowserCommandLine(const std::wstring& command, const std::wstring& url);
