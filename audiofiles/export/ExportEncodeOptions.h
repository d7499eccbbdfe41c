#pragma once
// The encode settings record that one-shot exports (Save, Save Selection) read.
//
// The application keeps two records: the stored one, which direct recording uses, and
// a copy for exports, which the save dialog fills with the choices made there. A
// pointer names the record exports read: the application points it at the stored
// record at start-up and at the copy after the dialog; a null pointer means the copy.
class FileEncodeOptions;

// Names the record exports read; null means the export copy.
void SetExportEncodeOptions(FileEncodeOptions* record) noexcept;
// The record exports read: the one set, else the export copy. Never null.
FileEncodeOptions* GetExportEncodeOptions() noexcept;
// The application's copy for exports (defaults until someone fills it).
FileEncodeOptions* GetExportEncodeOptionsCopy() noexcept;
