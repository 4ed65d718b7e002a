//+------------------------------------------------------------------+
//| QuillabyExample.mq4: an expert that keeps its files current.     |
//| Once after start it asks the update server whether newer files   |
//| exist, and when they do it starts the updater and reports the    |
//| result in the Experts log.                                       |
//+------------------------------------------------------------------+
#property strict
#property description "Checks for updates of its files once after start."

#include <Quillaby.mqh>

input string UpdateUrl = "https://updates.example.com/mytools";

bool checked = false;

// The files this expert is made of, with the versions installed. Names begin with "/",
// use "/" between their parts, and lie below the application folder (see ApplicationPath).
// A library that exports extGetVersionInfo1 reports its own version instead of this one.
string InstalledFileList()
  {
   return("{\"Files\": ["
          + "{\"name\": \"/Libraries/ExampleManaged.dll\", "
          + "\"version\": \"1\", \"release\": \"0\", \"build\": \"12\"}, "
          + "{\"name\": \"/Experts/QuillabyExample.ex4\", "
          + "\"version\": \"1\", \"release\": \"0\", \"build\": \"0\"}"
          + "]}");
  }

// Only the text before the last backslash counts: the names above lie below
// <data folder>\MQL4. No closing backslash (the updater's command line would swallow it).
string ApplicationPath()
  {
   return(TerminalInfoString(TERMINAL_DATA_PATH) + "\\MQL4\\Experts");
  }

int OnInit()
  {
   if(!checked && !MQLInfoInteger(MQL_TESTER))
     {
      // The check downloads and may show a message box: run it from the timer, once, so
      // that the terminal's start is not held up.
      if(!EventSetTimer(1))
         Print("Quillaby: no timer (error ", GetLastError(), "); no update check");
     }
   return(INIT_SUCCEEDED);
  }

void OnTimer()
  {
   EventKillTimer();
   if(checked)
      return;
   checked = true;
   if(!MQLInfoInteger(MQL_DLLS_ALLOWED))
     {
      Print("Quillaby: DLL imports are not allowed for this expert; no update check");
      return;
     }
   const string list = InstalledFileList();
   const int newer = QuillabyCheckForUpdates(UpdateUrl, ApplicationPath(), list);
   Print("Quillaby: update check: ", QuillabyCheckResultText(newer));
   if(newer != 1)
      return;
   const int result = QuillabyLaunchUpdater(UpdateUrl, ApplicationPath(), list);
   Print("Quillaby: update: ", QuillabyUpdateResultText(result), " (", result, ")");
  }

void OnDeinit(const int reason)
  {
   EventKillTimer();
  }

void OnTick()
  {
  }
//+------------------------------------------------------------------+
