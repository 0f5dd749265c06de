#include "Options.h"

#include <charconv>
#include <cmath>

#include "PreviewCommands.h"

namespace {

// The value of a "--name VALUE" or "--name=VALUE" option at args[i]; advances i.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& value) {
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) throw OptionsError("option " + name + " needs a value");
        value = args[++i];
        return true;
    }
    if (arg.starts_with(name + "=")) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

std::size_t GridColumnsFromText(const std::string& text) {
    std::size_t columns = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), columns);
    if (ec != std::errc() || end != text.data() + text.size() || columns == 0 || columns > 100000)
        throw OptionsError("--grid needs a whole number of plates per row");
    return columns;
}

// Numbers separated by commas, each a plain decimal.
std::vector<double> NumbersFromText(const std::string& text) {
    std::vector<double> numbers;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        double v = 0;
        const auto [end, ec] = std::from_chars(text.data() + from, text.data() + comma, v);
        if (ec != std::errc() || end != text.data() + comma || comma == from) return {};
        numbers.push_back(v);
        from = comma + 1;
    }
    return numbers;
}

double PositiveFromText(const std::string& text, const char* error) {
    const std::vector<double> v = NumbersFromText(text);
    if (v.size() != 1 || !(v[0] > 0) || v[0] > 1e5) throw OptionsError(error);
    return v[0];
}

std::pair<double, double> PitchFromText(const std::string& text) {
    const auto comma = text.find(',');
    const auto number = [&](const std::string& s) {
        double v = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec != std::errc() || end != s.data() + s.size() || !(v > 0) || v > 1e6)
            throw OptionsError("--pitch needs X or X,Y in millimetres, above 0");
        return v;
    };
    const double x = number(text.substr(0, comma));
    return {x, comma == std::string::npos ? x : number(text.substr(comma + 1))};
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
    Options o;
    bool positionalOnly = false;
    std::string gridText;  // plates a row, or with --probe the probe points NX,NY
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        if (positionalOnly || arg == "-" || !arg.starts_with("-")) {
            if (!o.project.empty()) throw OptionsError("more than one project given");
            o.project = arg;
        } else if (arg == "--") {
            positionalOnly = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--list-fonts") {
            o.listFonts = true;
        } else if (arg == "--list-profiles") {
            o.listProfiles = true;
        } else if (arg == "--estimate") {
            o.estimate = true;
        } else if (arg == "--mirror") {
            o.mirror = true;
        } else if (arg == "--ink") {
            o.ink = true;
        } else if (takeValue(args, i, "--profile", value)) {
            o.profile = value;
        } else if (takeValue(args, i, "--font", value)) {
            o.font = value;
        } else if (takeValue(args, i, "--out", value)) {
            o.out = value;
        } else if (takeValue(args, i, "--setting", value)) {
            const auto eq = value.find('=');
            if (eq == std::string::npos || eq == 0)
                throw OptionsError("--setting needs KEY=VALUE, got \"" + value + "\"");
            o.settings.emplace_back(value.substr(0, eq), value.substr(eq + 1));
        } else if (takeValue(args, i, "--check", value)) {
            o.check = value;
        } else if (takeValue(args, i, "--read", value)) {
            o.read = value;
        } else if (takeValue(args, i, "--png", value)) {
            o.png = value;
        } else if (takeValue(args, i, "--scale", value)) {
            const auto scale = PreviewScaleFromText(value);
            if (!scale) throw OptionsError("--scale needs a whole number from 25 to 200");
            o.scale = *scale;
        } else if (takeValue(args, i, "--batch", value)) {
            o.batch = value;
        } else if (takeValue(args, i, "--serial", value)) {
            o.serial = value;
        } else if (takeValue(args, i, "--grid", value)) {
            gridText = value;
        } else if (takeValue(args, i, "--send", value)) {
            o.send = value;
        } else if (takeValue(args, i, "--baud", value)) {
            o.baud = std::atoi(value.c_str());
            if (o.baud <= 0) throw OptionsError("--baud needs a positive whole number");
        } else if (arg == "--check-first") {
            o.checkFirst = true;
        } else if (takeValue(args, i, "--probe", value)) {
            o.probe = value;
        } else if (takeValue(args, i, "--area", value)) {
            const std::vector<double> corners = NumbersFromText(value);
            if (corners.size() != 4 || corners[2] <= corners[0] || corners[3] <= corners[1])
                throw OptionsError("--area needs X0,Y0,X1,Y1 in millimetres with X1 > X0, Y1 > Y0");
            o.area = {corners[0], corners[1], corners[2], corners[3]};
        } else if (takeValue(args, i, "--probe-feed", value)) {
            o.probeFeed = PositiveFromText(value, "--probe-feed needs a feed in mm/min");
        } else if (takeValue(args, i, "--probe-depth", value)) {
            o.probeDepth = PositiveFromText(value, "--probe-depth needs millimetres");
        } else if (takeValue(args, i, "--probe-retract", value)) {
            o.probeRetract = PositiveFromText(value, "--probe-retract needs millimetres");
        } else if (takeValue(args, i, "--height-map", value)) {
            o.heightMap = value;
        } else if (takeValue(args, i, "--from", value)) {
            std::size_t line = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), line);
            if (ec != std::errc() || end != value.data() + value.size() || line == 0)
                throw OptionsError("--from needs the file's line number to resume at (1 or more)");
            o.resumeFrom = line;
        } else if (takeValue(args, i, "--pitch", value)) {
            o.pitch = PitchFromText(value);
        } else if (takeValue(args, i, "--rotary", value)) {
            double d = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), d);
            if (ec != std::errc() || end != value.data() + value.size() || !(d >= 0) || d > 1e5)
                throw OptionsError("--rotary needs the work's diameter in millimetres (0: none)");
            o.rotary = d;
        } else if (takeValue(args, i, "--svg", value)) {
            o.svg = value;
        } else if (takeValue(args, i, "--dxf", value)) {
            o.dxf = value;
        } else {
            throw OptionsError("unknown option " + arg);
        }
    }
    if (!gridText.empty() && !o.probe.empty()) {
        const std::vector<double> counts = NumbersFromText(gridText);
        if (counts.size() != 2 || counts[0] < 2 || counts[1] < 2 || counts[0] > 50 ||
            counts[1] > 50 || counts[0] != std::floor(counts[0]) ||
            counts[1] != std::floor(counts[1]))
            throw OptionsError("--grid for --probe needs NX,NY: 2 to 50 points along X and Y");
        o.probeGrid = {static_cast<std::size_t>(counts[0]), static_cast<std::size_t>(counts[1])};
    } else if (!gridText.empty()) {
        o.gridColumns = GridColumnsFromText(gridText);
    }
    if (!o.probe.empty()) {
        if (o.probeGrid.first == 0) throw OptionsError("--probe needs --grid NX,NY");
        if (o.area[2] <= o.area[0]) throw OptionsError("--probe needs --area X0,Y0,X1,Y1");
        if (o.out.empty() || o.out == "-")
            throw OptionsError("--probe writes the height map to the file --out names");
        if (!o.project.empty() || !o.send.empty() || o.plates())
            throw OptionsError("--probe probes and writes a height map, nothing else");
    }
    if (!o.heightMap.empty() && (o.plates() || !o.check.empty() || !o.read.empty() || o.estimate))
        throw OptionsError("--height-map goes with --send or with writing one project's program");
    if (!o.batch.empty() && !o.serial.empty())
        throw OptionsError("--batch and --serial cannot be given together");
    if (o.gridColumns > 0 && !o.plates())
        throw OptionsError("--grid places the plates of --batch or --serial");
    if (o.gridColumns > 0 && o.pitch.first <= 0)
        throw OptionsError("--grid needs --pitch X[,Y] in millimetres");
    if (o.plates() && o.gridColumns == 0 && (o.out.empty() || o.out == "-"))
        throw OptionsError(
            "--batch and --serial write files named by --out, e.g. 'plate-{N}.gcode'");
    if (!o.send.empty() && o.project.empty()) throw OptionsError("--send needs a G-code FILE");
    if (o.resumeFrom > 0 && o.send.empty()) throw OptionsError("--from resumes a --send");
    if (o.resumeFrom > 0 && o.checkFirst)
        throw OptionsError("--from resumes a program: --check-first checks one from its start");
    if (!o.send.empty() && (o.plates() || !o.check.empty() || o.estimate || !o.png.empty() ||
                            !o.svg.empty() || !o.dxf.empty()))
        throw OptionsError("--send streams one G-code file and does nothing else");
    if (!o.check.empty() && !o.project.empty())
        throw OptionsError("--check reads a G-code file instead of a project");
    if (!o.read.empty() && !o.project.empty())
        throw OptionsError("--read reads a G-code file instead of a project");
    if (!o.read.empty() && !o.check.empty())
        throw OptionsError("--check and --read are two readings of a file: give one");
    if (o.estimate && !o.png.empty()) throw OptionsError("--estimate draws no picture");
    if (o.ink && o.png.empty()) throw OptionsError("--ink draws the --png picture");
    if ((!o.svg.empty() || !o.dxf.empty()) &&
        (o.plates() || !o.check.empty() || !o.read.empty() || o.estimate))
        throw OptionsError("--svg and --dxf write the plate of one project");
    if (!o.help && !o.listFonts && !o.listProfiles && o.check.empty() && o.read.empty() &&
        o.probe.empty() && o.project.empty())
        throw OptionsError("no project given");
    return o;
}

std::string UsageText() {
    return "Usage: vezor-gcode [--font FONT] [--profile NAME] [--out FILE] [--setting "
           "KEY=VALUE]...\n"
           "                   [--mirror] [--rotary D] [--png FILE] [--svg FILE] [--dxf FILE]\n"
           "                   [--estimate] PROJECT\n"
           "       vezor-gcode (--batch TABLE.csv | --serial FROM..TO)\n"
           "                   (--out PATTERN | --grid N --pitch X[,Y] [--out FILE]) PROJECT\n"
           "       vezor-gcode --check GCODE [--png FILE [--scale N]]\n"
           "       vezor-gcode --estimate [--profile NAME] --check GCODE\n"
           "       vezor-gcode --read GCODE [--png FILE [--scale N] | --estimate [--profile "
           "NAME]]\n"
           "       vezor-gcode --send PORT [--baud N] [--check-first | --from LINE]\n"
           "                   [--height-map MAP.csv] GCODE\n"
           "       vezor-gcode --probe PORT --area X0,Y0,X1,Y1 --grid NX,NY [--probe-feed F]\n"
           "                   [--probe-depth D] [--probe-retract R] --out MAP.csv\n"
           "       vezor-gcode --list-fonts | --list-profiles\n"
           "\n"
           "Lays out the project file PROJECT and writes its G-code program, byte for byte\n"
           "what the main window's save command writes.\n"
           "\n"
           "  --font FONT          font folder: a path (a relative one is looked up in the\n"
           "                       current folder first) or a name as --list-fonts shows it\n"
           "                       (relative to the program folder); default: the first\n"
           "                       font of the list\n"
           "  --out FILE           write the program to FILE; \"-\" or no --out: standard output\n"
           "  --profile NAME       the output profile (--list-profiles); default: the one\n"
           "                       chosen in the window's parameters, else VEzor\n"
           "  --estimate           print the machining figures (writing_mm, travel_mm,\n"
           "                       lifts, seconds) of the program, or with --check of the\n"
           "                       G-code file, instead of writing it\n"
           "  --setting KEY=VALUE  override one machining setting for this run: ZBezop,\n"
           "                       ZBezopS (safe heights, mm), SkorF (feed text), NoRazriv\n"
           "                       (0 or 1), RazrivVBukve (1: lift the pen at the breaks\n"
           "                       the font marks inside letters; when not set, 0 for the\n"
           "                       VEzor profile and 1 for the others); the others come\n"
           "                       from the user's settings\n"
           "  --png FILE           also draw the preview as the draw button does (1000x1000,\n"
           "                       one scale for both axes) and write it to FILE as a PNG\n"
           "  --scale N            preview scale in percent, 25 to 200; default 100\n"
           "  --ink                draw only the ink in the --png picture: the writing as\n"
           "                       wide as the profile's line, black, without the travel\n"
           "  --mirror             mirror the plate left to right about the field's middle\n"
           "                       (as <@MIRROR> in the project), for the back of glass\n"
           "  --rotary D           write Y as the degrees of a rotary axis turning a work of\n"
           "                       D mm diameter (the profile's letter, A or Y); 0: none\n"
           "  --svg FILE           also write the laid-out plate as SVG, --dxf FILE as DXF\n"
           "                       (millimetres; writing and travel on their own layers)\n"
           "  --check GCODE        read the G-code file as the window does and print\n"
           "                       \"records N bounds MINX MINY MAXX MAXY\"; exit status 2\n"
           "                       when it does not read\n"
           "  --read GCODE         run another program's G-code file as a controller does\n"
           "                       (arcs, G91, G20, offsets, cycles...) and print the same\n"
           "                       line; each line it cannot run goes to standard error as\n"
           "                       \"строка N: ...\"; exit status 3 when there is one, 2 when\n"
           "                       the file holds no G-code\n"
           "  --batch TABLE.csv    one program per row of the table (first row: column\n"
           "                       names); {Name} in the project is the row's value\n"
           "  --serial FROM..TO    one program per number; {N} or {N:0001} is the number\n"
           "                       (with --batch, {N} counts the rows from the digits' value)\n"
           "                       --out is then a pattern such as 'plate-{N}.gcode'; each\n"
           "                       file written is printed, a plate that cannot be made is\n"
           "                       reported with its row or number and skipped\n"
           "  --grid N             put all plates into one program instead, N per row,\n"
           "  --pitch X[,Y]        X mm apart, rows Y mm apart (default X)\n"
           "  --send PORT          stream the G-code file GCODE to the GRBL machine on the\n"
           "                       serial port PORT (e.g. /dev/ttyUSB0) with progress on\n"
           "                       standard error, after checking the program against the\n"
           "                       machine's travel; exit 0 done, 1 failed (the line and\n"
           "                       GRBL's message); Ctrl+C stops the machine\n"
           "  --baud N             the port's rate for --send; default 115200\n"
           "  --check-first        run the file through GRBL's check mode ($C) first\n"
           "  --from LINE          resume the file at its line LINE, as the window does: the\n"
           "                       tool up to the program's safe height, the spindle or laser\n"
           "                       as it travels, across to where LINE starts, down, on as it\n"
           "                       writes there, then the file from LINE on; a stopped send\n"
           "                       names the line its letter starts at\n"
           "  --probe PORT         probe the plate with GRBL's probe (G38.2) over a grid of\n"
           "                       NX x NY points (--grid) on the area X0..X1, Y0..Y1 of work\n"
           "                       coordinates (--area), from the current Z zero: up to\n"
           "                       --probe-retract mm (default 2), down at --probe-feed mm/min\n"
           "                       (default 100) to at most --probe-depth mm (default 5) below\n"
           "                       zero; writes the height map to --out (a table x,y,z)\n"
           "  --height-map MAP.csv the program follows the probed surface: its writing split\n"
           "                       at the map's grid and every 2 mm, each point raised or\n"
           "                       lowered by the surface there, travel above its highest\n"
           "                       point; with --send, or when writing a project's program\n"
           "  --list-fonts         print the font list, one font per line: its name, a tab\n"
           "                       and the folder its letters are read from\n"
           "  --list-profiles      print the output profiles, one name per line\n"
           "  --help               print this text\n"
           "\n"
           "Exit status: 0 written; 1 failure; 2 PROJECT is not a project (nothing written);\n"
           "3 written, but some letters were not found in the font (a batch: some plates\n"
           "were skipped).\n";
}
