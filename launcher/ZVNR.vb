' ZVNR.vb: the sample line-of-business application. It picks up the command
' line that zvnrstart left in the registry and records it in ZVNR.log beside
' itself; then its form lists every barcode scanned and a progress bar counts
' the scans of the current batch, until the form is closed.
Option Explicit

Const BatchSize = 10

Dim shell, files, folder, log, fileName
Set shell = CreateObject("WScript.Shell")
fileName = shell.RegRead("HKCU\Software\Pellworth\ZVNR\FileName")

Set files = CreateObject("Scripting.FileSystemObject")
folder = files.GetParentFolderName(Host.ScriptFullName)
Set log = files.CreateTextFile(files.BuildPath(folder, "ZVNR.log"), True)
log.WriteLine "FileName: [" & fileName & "]"
log.WriteLine "Started."
log.Close

Host.Caption = "ZVNR"

' The scans, newest last.
Dim scans
Set scans = Host.CreateList()
Host.Place scans, 4, 4, 224, 220

' The batch: full after BatchSize scans, then it starts again.
Dim batch, scanned
scanned = 0
Set batch = CreateObject("QzpeProgressBar.ProgressBar")
Host.Place batch, 4, 232, 224, 20
batch.Scrolling = 0
batch.Max = BatchSize
batch.Value = 0

' The terminal's reader: one read at a time, posted again after each.
Dim reader
Set reader = CreateObject("Harvanti.HVTAXBarCode")
Host.Connect reader, "Reader"
reader.DeviceName = "default"
reader.ReadAhead = True
reader.PostRead 512, 0

Sub Reader_CompleteRead(lStatus, pData, eSymbology, eDataType, stDate)
    If lStatus = 0 Then
        If batch.Value >= BatchSize Then batch.Value = 0
        batch.Value = batch.Value + 1
        scanned = scanned + 1
        scans.Add scanned & ". " & pData
    Else
        scans.Add "Read failed: 0x" & Hex(lStatus)
    End If
    reader.PostRead 512, 0
End Sub
