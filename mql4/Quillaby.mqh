//+------------------------------------------------------------------+
//| Quillaby.mqh: the exports of Quillaby.dll for MQL4 programs.     |
//| Put it in <data folder>\MQL4\Include and write                   |
//|    #include <Quillaby.mqh>                                       |
//| Quillaby.dll and Norvadel.exe go together in MQL4\Libraries.     |
//| The expert needs "Allow DLL imports".                            |
//+------------------------------------------------------------------+

// Terminals since build 600 hand string parameters to a DLL as UTF-16, while Quillaby.dll
// takes narrow texts in the system code page: every text crosses as a zero-terminated
// uchar array, made by QuillabyAnsi(). Call the wrappers below, not these imports.
#import "Quillaby.dll"
int  XCheckForUpdates(uchar &updateUrl[], uchar &applicationPath[], uchar &installedFileList[]);
int  XLaunchUpdater(uchar &updateUrl[], uchar &applicationPath[], uchar &installedFileList[]);
int  XUpdaterProcess(uchar &updateUrl[], uchar &applicationPath[], uchar &installedFileList[],
                     int reserved);
int  extEnterCS(int index);
int  extTryEnterCS(int index);
int  extLeaveCS(int index);
void extSetFlag(int index, int value);
int  extGetFlag(int index);
#import

//--- Texts -----------------------------------------------------------

// The text in the system code page (CP_ACP) with its terminating zero.
void QuillabyAnsi(const string text, uchar &bytes[])
  {
   ArrayResize(bytes, 0);
   StringToCharArray(text, bytes, 0, -1, CP_ACP);
  }

// Every quote written as backslash-quote: XCheckForUpdates turns them back, and the
// updater's command line needs them, since a plain quote would end the argument there.
// (So no name of the list may end with a backslash.)
string QuillabyEscapeQuotes(string text)
  {
   if(StringLen(text) > 0)
      StringReplace(text, "\"", "\\\"");
   return(text);
  }

//--- The update --------------------------------------------------------
// updateUrl:         the folder on the web server that holds updateinfo.txt and the files,
//                    without a closing "/", e.g. "https://updates.example.com/mytools".
// applicationPath:   only its text before the last "\" or "/" counts: the folder below
//                    which the installed names lie. It must not end with a backslash.
// installedFileList: a JSON file manifest with plain quotes, as in QuillabyExample.mq4.

// 1 when the server holds a newer version of an installed file, else 0 (a failed
// download has then shown its own message box). Blocks for the download.
int QuillabyCheckForUpdates(const string updateUrl, const string applicationPath,
                            const string installedFileList)
  {
   uchar url[];
   uchar path[];
   uchar list[];
   QuillabyAnsi(updateUrl, url);
   QuillabyAnsi(applicationPath, path);
   QuillabyAnsi(QuillabyEscapeQuotes(installedFileList), list);
   return(XCheckForUpdates(url, path, list));
  }

// Starts Norvadel.exe (which asks for administrator rights) and waits until the user has
// finished the update. Returns its exit code; QuillabyUpdateResultText() says what it means.
int QuillabyLaunchUpdater(const string updateUrl, const string applicationPath,
                          const string installedFileList)
  {
   uchar url[];
   uchar path[];
   uchar list[];
   QuillabyAnsi(updateUrl, url);
   QuillabyAnsi(applicationPath, path);
   QuillabyAnsi(QuillabyEscapeQuotes(installedFileList), list);
   return(XLaunchUpdater(url, path, list));
  }

// The interactive update itself, as Norvadel.exe runs it: in the terminal's own process it
// has no administrator rights, so experts call QuillabyLaunchUpdater instead. The list is
// passed with plain quotes, as this export expects.
int QuillabyUpdaterProcess(const string updateUrl, const string applicationPath,
                           const string installedFileList)
  {
   uchar url[];
   uchar path[];
   uchar list[];
   QuillabyAnsi(updateUrl, url);
   QuillabyAnsi(applicationPath, path);
   QuillabyAnsi(installedFileList, list);
   return(XUpdaterProcess(url, path, list, 0));
  }

string QuillabyCheckResultText(const int result)
  {
   if(result == 1)
      return("newer files are on the update server");
   return("no newer files (a failed download has shown its own message)");
  }

string QuillabyUpdateResultText(const int result)
  {
   if(result == 259)
      return("the updater was closed while the update was still running");
   if(result >= 1)
      return(IntegerToString(result) + " files updated; restart the terminal to use them");
   switch(result)
     {
      case 0:
         return("nothing updated: no newer files, or the check failed and said why");
      case -1:
         return("the updater did not start (Norvadel.exe missing beside Quillaby.dll, "
                + "administrator rights refused) or did not find Quillaby.dll beside itself");
      case -2:
         return("the update stopped on a failure (an application path without \\ or /?)");
      case -3:
         return("no file could be updated; the messages shown said why");
      case -4:
         return("the user cancelled the update");
     }
   return("unknown result " + IntegerToString(result));
  }

//--- Locks and flags shared by the experts of this terminal -----------------
// Six recursive locks, slots 0 to 5, and ten integer flags, slots 0 to 9, which lock 5
// guards. Leave a lock as often as you entered it, on the thread that entered it.

bool QuillabyEnterLock(const int slot)    { return(extEnterCS(slot) != 0); }
bool QuillabyTryEnterLock(const int slot) { return(extTryEnterCS(slot) != 0); }
bool QuillabyLeaveLock(const int slot)    { return(extLeaveCS(slot) != 0); }
void QuillabySetFlag(const int slot, const int value) { extSetFlag(slot, value); }
int  QuillabyGetFlag(const int slot)      { return(extGetFlag(slot)); }
//+------------------------------------------------------------------+
