#include "cli/CliHelp.h"

namespace {

const char* const OVERVIEW = R"(Usage: zorvex-cli COMMAND [OPTIONS]

Programs the mobile VHF radio on a serial port, with the same steps as the desktop program.

Commands:
  ports                                   list the serial ports
  info  (--port N | --device PATH)        identify the radio and print its information
  read  (--port N | --device PATH) -o FILE.xml [--images DIR]
                                          read the radio into a configuration file
  write (--port N | --device PATH) FILE.xml [--images DIR] [--dry-run]
                                          write a configuration file into the radio
  restore BACKUP_DIR (--port N | --device PATH) [--force]
                                          write a backup back into its radio
  backups [--backup-dir DIR] [--serial N] list the backups, newest first
  diff A B                                compare configurations, image folders or radio
  export FILE.xml OUT.xlsx|OUT.csv        export the channel list to a spreadsheet or CSV
  import FILE.xml IN.csv -o NEW.xml       replace the channels by those of a CSV list
  image build FILE.xml DIR [versions]     build the radio's table images from a configuration
  image parse DIR FILE.xml                make a configuration from table images
  check FILE.xml                          list the problems of a hand-edited configuration

Options of the radio commands:
  -p, --port N       COM port number 1..255 (see 'ports')
  -d, --device PATH  serial device path instead of a port number
                     info, read and write take several --port/--device at once: every
                     radio is served in parallel, each log line starts with its port, a
                     summary table (port, serial, seconds, result) ends the run, and the
                     exit status is 0 only when every radio succeeded; read's -o and
                     --images then name each radio's file with {serial} or {port}; on a
                     terminal each radio has a progress row below the log lines
  --simulate         use a built-in simulated radio instead of a serial port
  --sim-state FILE   with --simulate: the simulated radio's memory, kept between runs
  --second-type      also accept the alternative programmer identifier
  -v, --verbose      also one line per exchange with the radio on stderr: the request,
                     the reply or its absence, the bytes and the attempt
  --trace            as --verbose, and every frame sent and every run of bytes received
                     in hex with a time stamp in milliseconds, on stderr

General options:
  -q, --quiet        print only errors and warnings (no log lines, no progress bar)
  --json             ports, info, read, write, check, diff, backups: one JSON document
                     on stdout (the log lines go to stderr); see the README,
                     "Machine-readable output"
  -h, --help         this text
  -V, --version      print the program's name and version
  --                 ends the options: what follows are file names
Values are given as "--port 5", "--port=5", "-p 5" or "-p5".

write, export and image build refuse a configuration file with problems (see check) unless
--force is given.

Exit status: 0 success; 1 the operation failed (port not opened, link error, a table that
failed to parse, a refused write); 2 usage error; 3 a file could not be read or written.

'zorvex-cli COMMAND --help' describes one command.
)";

const char* const PORTS = R"(Usage: zorvex-cli ports

Lists the serial ports, one per line: COM<n>, a tab, the device. For a USB adapter
further tab-separated fields follow: vendor:product ids, manufacturer, product and serial
number, then its /dev/serial/by-id/ name. A port number set to a device that is absent
(ZORVEX_COM<n>) is listed with "missing".

  --json   the list as a JSON document
)";

const char* const INFO =
    R"(Usage: zorvex-cli info (--port N | --device PATH | --simulate) [--second-type]

Opens the port, fetches the radio's information blocks and closes the port. Prints the
log lines of the operation, then the radio's information report.
)";

const char* const READ =
    R"(Usage: zorvex-cli read (--port N | --device PATH | --simulate) -o FILE.xml
                      [--images DIR] [--second-type]

Reads both channel tables (the second one when the radio has it) and the settings into a
new configuration, makes the radio's frequency-range set current (adding it to the range
list when it is new) and saves the configuration file FILE.xml. The flag captions are the
ones the channel editor gives for the radio's options.

  -o -           write the configuration to standard output; the log lines go to stderr
  --images DIR   also keep the table images exactly as read: channels-0-99.bin,
                 channels-100-199.bin (when the radio has that table) and settings.bin,
                 2048 bytes each. They are kept even when a table fails to parse.

Nothing is saved when the read fails.
)";

const char* const WRITE =
    R"(Usage: zorvex-cli write (--port N | --device PATH | --simulate) FILE.xml
                       [--images DIR] [--second-type] [--force] [--dry-run]
                       [--no-backup] [--no-verify] [--backup-dir DIR]

Opens the configuration file as the desktop program does (its range set is added to the
range list and made current; channels outside it are removed, with a warning on stderr),
then writes the channel tables and the settings into the radio. The write is refused when
the radio's frequency ranges differ from the configuration's, when the radio requires
another programmer, or when a table image cannot be built.

Before the first write request the radio's current tables are read and saved as a backup
folder BACKUPS/SERIAL/YYYYMMDD-HHMMSS/ (images, info.txt, radio.xml); a backup that cannot
be saved stops the write with the radio unchanged. After the last write request every table
is read back and compared byte for byte with what was sent. A failed write names the
restore command that brings the previous tables back.

  --images DIR      keep the images that were sent (same names as for read)
  --force           write a configuration file that has problems (see check) as it was read
  --dry-run         do everything up to the first write request, print the differences
                    between the radio and the file, write nothing
  --no-backup       write without reading and saving a backup first
  --no-verify       do not read the tables back after writing
  --backup-dir DIR  save backups under DIR instead of the default location
                    ($XDG_DATA_HOME/Zorvex_Prog/backups, ~/.local/share/... without it;
                    %APPDATA%\Zorvex_Prog\backups on Windows)
)";

const char* const RESTORE =
    R"(Usage: zorvex-cli restore BACKUP_DIR (--port N | --device PATH | --simulate) [--force]
                       [--no-backup] [--no-verify] [--backup-dir DIR] [--second-type]

Identifies the radio and writes the backup's images into it exactly as stored, with a
backup of what the radio holds now before and a verify after. Refused, with nothing sent,
when the radio's serial number is not the backup's (the name of the folder above
BACKUP_DIR), when the radio requires another programmer, or when the backup lacks a table
the radio has, holds one it lacks, or holds a table of another version.

  --force   also write into a radio with another serial number
)";

const char* const BACKUPS = R"(Usage: zorvex-cli backups [--backup-dir DIR] [--serial N] [--json]

Lists the backups, newest first, one line each: folder, serial number, date and time,
programming count, used channels (? where an image does not parse).

  --backup-dir DIR  the backups under DIR instead of the default location
  --serial N        only the backups of the radio with serial number N (or no-serial)
  --json            the list as one JSON document
)";

const char* const DIFF =
    R"(Usage: zorvex-cli diff A B [--port N | --device PATH | --simulate] [--json]

Compares two configurations. A and B are each a configuration file, an image folder (as
--images or a backup writes it) or the word radio (identified and read through --port,
--device or --simulate). Prints one line per difference: channel slot, field, old -> new;
settings field, old -> new; the range set; flag captions (image folders carry neither).
With --json the differences are one JSON document.

Exit status: 0 no differences, 1 differences, 2 usage error, 3 a file could not be read.
)";

const char* const EXPORT =
    R"(Usage: zorvex-cli export FILE.xml OUT.xlsx [--force]
       zorvex-cli export FILE.xml OUT.csv [--csv-locale en|ru] [--force]

Opens the configuration file and exports its channel list. The format follows the name:
OUT.csv gets a channel list that 'import' reads back, anything else a spreadsheet.

The channel list has a header row, then one row per used slot in slot order, columns
Slot, Number, Rx MHz, Tx MHz, Rx band kHz, Tx band kHz, Rx subtone, Tx subtone,
Rx call tone Hz, Tx call tone Hz, Power low, Power high, Squelch, Active, Scan, Scrambler,
Tx limit, Tx busy, F0 ... F7. It is UTF-8 with a byte-order mark.

  --csv-locale en   commas between columns and decimal points (the default)
  --csv-locale ru   semicolons and decimal commas, as a spreadsheet in a Russian locale
                    opens them directly
)";

const char* const IMPORT = R"(Usage: zorvex-cli import FILE.xml IN.csv -o NEW.xml

Opens the configuration file, replaces its 200 channels by those of the channel list
IN.csv (the form 'export FILE.xml OUT.csv' writes) and saves the result as NEW.xml. The
range set, the settings and the flag captions of FILE.xml are kept; slots the list does not
give are empty.

The separator (comma, semicolon or tab) is taken from the header row, either decimal mark
is accepted, and the columns may stand in any order. Only Slot and Rx MHz are required; a
missing column gives every channel that field's default. Cells:
  Rx MHz, Tx MHz     frequency in MHz, up to 6 decimals; empty for none
  Rx/Tx band kHz     12.5 or 25
  Rx/Tx subtone      empty, a CTCSS tone (67.0) or a DCS code (D023)
  Rx/Tx call tone Hz 400 to 3000; empty for none
  Power low/high     0 to 3; Squelch 1 to 8; Number 0 to 99
  the others         1 or 0

Every row is checked as the desktop program's channel editor checks an entry (frequency
ranges of the range set, channel raster, tone lists, levels). All problems are listed on
stderr, one line each with row, column, value and reason, and then nothing is written
(exit status 3).
)";

const char* const CHECK = R"(Usage: zorvex-cli check FILE.xml [--json]

Opens the configuration file as the other commands do, writes nothing, and prints one line
per problem a hand-edited file can hold, as FILE:LINE: what was found and how it was read:
a value that is not a number, an element the format does not have, a channel slot outside
0-199 or given twice, a file saved as UTF-8 that declares windows-1251; and every channel
removed as outside the file's range set. A file the program wrote has none. With --json
the problems are one JSON document.

Exit status: 0 no problem, 1 problems listed, 3 the file cannot be read.
)";

const char* const IMAGE = R"(Usage: zorvex-cli image build FILE.xml DIR [--channels-version 1.0|2.0]
                              [--channels2-version 0|1.0|2.0]
                              [--settings-version 1.0|1.1|1.2|1.3] [--force]
       zorvex-cli image parse DIR FILE.xml

build: builds the radio's table images from a configuration file into DIR:
  channels-0-99.bin, channels-100-199.bin (not with --channels2-version 0) and
  settings.bin, 2048 bytes each. Defaults: channels 2.0, channels 100-199 the same as
  channels 0-99, settings 1.3. Nothing is written when an image cannot be built.
parse: reads those images from DIR (channels-100-199.bin only when present) into a new
  configuration and saves it as FILE.xml, with the current range set of the range list.
)";

} // namespace

std::string CliHelpText(const std::string& command, const std::string&) {
    if (command == "ports") {
        return PORTS;
    }
    if (command == "info") {
        return INFO;
    }
    if (command == "read") {
        return READ;
    }
    if (command == "write") {
        return WRITE;
    }
    if (command == "export") {
        return EXPORT;
    }
    if (command == "restore") {
        return RESTORE;
    }
    if (command == "backups") {
        return BACKUPS;
    }
    if (command == "diff") {
        return DIFF;
    }
    if (command == "import") {
        return IMPORT;
    }
    if (command == "image") {
        return IMAGE;
    }
    if (command == "check") {
        return CHECK;
    }
    return OVERVIEW;
}
