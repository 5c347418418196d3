' ZVNR.vb: a sample application script. It picks up the command line that
' zvnrstart left in the registry and records it in ZVNR.log beside itself.
Option Explicit

Dim shell, files, folder, log, fileName
Set shell = CreateObject("WScript.Shell")
fileName = shell.RegRead("HKCU\Software\Pellworth\ZVNR\FileName")

Set files = CreateObject("Scripting.FileSystemObject")
folder = files.GetParentFolderName(WScript.ScriptFullName)
Set log = files.CreateTextFile(files.BuildPath(folder, "ZVNR.log"), True)
log.WriteLine "FileName: [" & fileName & "]"
log.WriteLine "Started."
log.Close
