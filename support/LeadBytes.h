#pragma once

// Fills the lead-byte set from the ranges the system reports for the ANSI code
// page, or leaves it empty when the code page has no double-byte characters.
void LoadLeadBytesFromSystem();
