"""The names of the setup script and the uninstall log that the sandbox reads,
as log/LogSchema.h spells them for the program (a test holds the two equal):
each constant here is named after the header's (kProgramListName: PROGRAM_LIST_NAME)."""

PROGRAM_NAME = "SETUP.EXE"
SETUP_SCRIPT_NAME = "SETUP.INI"
UNINSTALLER_NAME = "UNTESSR.EXE"
PROGRAM_LIST_NAME = "TESSREG.INI"

# Lists of numbered keys, (section, prefix): read from 1 up to the first empty key.
SCRIPT_REGISTRY = ("Registry", "Key")
SCRIPT_INI_FILE = ("IniFile", "Data")
LOG_DELETE_FILE = ("DeleteFile", "File")
LOG_DELETE_REGISTRY = ("DeleteRegistry", "Key")
