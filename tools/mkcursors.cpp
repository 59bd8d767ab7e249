// Writes the control framework's (and the tree views' and bars') cursors and panning
// markers from the pixel tables below:
//   resources/cursors/UX_*.cur            32x32 black and white cursors with
//                                         transparency and a hot spot;
//   resources/bitmaps/UX_*SCROLLBITMAP.bmp 24-bit markers shown at the press
//                                         point of middle-button panning.
// The written files are kept in the tree; run this by hand after changing a
// table:  mkcursors <source root>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// A picture as rows of characters; rows may be shorter than the widest one.
// Cursor tables: '.' transparent, '#' black, '-' white.
// Marker tables: '.' transparent (the marker's own colour shows), '#' black.
using Art = std::vector<std::string>;

constexpr int kCursorSize = 32;
constexpr int kMarkerSize = 29;  // odd, so the dot and the arrows centre on a pixel
constexpr int kCentre = 15;      // the hot spot of the centred cursors

// ---- the shapes --------------------------------------------------------------

// The ordinary arrow; its tip (0, 0) is the hot spot.
const Art kArrow = {
    "#",
    "##",
    "#-#",
    "#--#",
    "#---#",
    "#----#",
    "#-----#",
    "#------#",
    "#-------#",
    "#--------#",
    "#---------#",
    "#------#####",
    "#---#--#",
    "#--##--#",
    "#-#..#--#",
    "##...#--#",
    "#.....#--#",
    "......#--#",
    ".......##",
};

// A box with a plus: the dragged item is copied.
const Art kPlusBox = {
    "#########",
    "#-------#",
    "#---#---#",
    "#---#---#",
    "#-#####-#",
    "#---#---#",
    "#---#---#",
    "#-------#",
    "#########",
};

// A cross: the dragged item is removed.
const Art kCross = {
    ".--...--.",
    "-##-.-##-",
    "-###-###-",
    ".-#####-.",
    "..-###-..",
    ".-#####-.",
    "-###-###-",
    "-##-.-##-",
    ".--...--.",
};

// A document with lines of text: the item being dragged.
const Art kDocument = {
    "###########",
    "#---------#",
    "#-#######-#",
    "#---------#",
    "#-#######-#",
    "#---------#",
    "#-#####---#",
    "#---------#",
    "###########",
};

// The dot at the centre of the panning cursors.
const Art kPanDot = {
    "..---..",
    ".-###-.",
    "-#####-",
    "-#####-",
    "-#####-",
    ".-###-.",
    "..---..",
};

// An arrow head pointing up; the other directions are turns of it.
const Art kPanArrowUp = {
    "....#....",
    "...#-#...",
    "..#---#..",
    ".#-----#.",
    "#########",
};

// A double arrow across a bar, for dragging a border up or down; its centre
// (11, 10) is the hot spot. Turned, it serves left and right.
const Art kVertSize = {
    "...........#...........",
    "..........#-#..........",
    ".........#---#.........",
    "........#-----#........",
    ".......#-------#.......",
    "......#---------#......",
    "......####---####......",
    ".........#---#.........",
    "#######################",
    "#---------------------#",
    "#---------------------#",
    "#---------------------#",
    "#######################",
    ".........#---#.........",
    "......####---####......",
    "......#---------#......",
    ".......#-------#.......",
    "........#-----#........",
    ".........#---#.........",
    "..........#-#..........",
    "...........#...........",
};

// A ring with a slash: nothing can be dropped here; its centre (10, 10) is the hot spot.
const Art kNoDrop = {
    "........#####........",
    ".....###-----###.....",
    "....#-----------#....",
    "...#-------------#...",
    "..#-----#####-----#..",
    ".#-----#.....#-----#.",
    ".#------#.....#----#.",
    ".#---#---#.....#---#.",
    "#---#.#---#.....#---#",
    "#---#..#---#....#---#",
    "#---#...#---#...#---#",
    "#---#....#---#..#---#",
    "#---#.....#---#.#---#",
    ".#---#.....#---#---#.",
    ".#----#.....#------#.",
    ".#-----#.....#-----#.",
    "..#-----#####-----#..",
    "...#-------------#...",
    "....#-----------#....",
    ".....###-----###.....",
    "........#####........",
};

// The black arrow heads of the panning markers, pointing up.
const Art kMarkerArrowUp = {
    "...#...",
    "..###..",
    ".#####.",
    "#######",
};

// The black dot at the centre of the panning markers.
const Art kMarkerDot = {
    ".###.",
    "#####",
    "#####",
    "#####",
    ".###.",
};

// ---- drawing -----------------------------------------------------------------

int ArtWidth(const Art& A) {
  std::size_t w = 0;
  for (const std::string& r : A) w = std::max(w, r.size());
  return int(w);
}

char ArtAt(const Art& A, int X, int Y) {
  if (Y < 0 || Y >= int(A.size()) || X < 0 || X >= int(A[Y].size())) return '.';
  return A[Y][X];
}

// A quarter turn clockwise: an arrow pointing up then points right.
Art TurnRight(const Art& A) {
  int w = ArtWidth(A), h = int(A.size());
  Art R(w, std::string(h, '.'));
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < h; ++x) R[y][x] = ArtAt(A, y, h - 1 - x);
  return R;
}

Art Turned(const Art& A, int QuarterTurns) {
  Art R = A;
  for (int i = 0; i < QuarterTurns; ++i) R = TurnRight(R);
  return R;
}

// A square canvas of characters that shapes are stamped on.
struct Canvas {
  int Size;
  Art Rows;
  explicit Canvas(int S) : Size(S), Rows(S, std::string(S, '.')) {}
  // Every character of A other than '.' replaces the canvas's, with A's top
  // left corner at (X, Y); nothing may fall outside.
  Canvas& Stamp(const Art& A, int X, int Y) {
    for (int y = 0; y < int(A.size()); ++y)
      for (int x = 0; x < int(A[y].size()); ++x) {
        char c = A[y][x];
        if (c == '.') continue;
        if (X + x < 0 || X + x >= Size || Y + y < 0 || Y + y >= Size)
          throw std::runtime_error("a shape falls outside the picture");
        Rows[Y + y][X + x] = c;
      }
    return *this;
  }
  // A centred on (CX, CY) (A's width and height are odd).
  Canvas& StampCentred(const Art& A, int CX, int CY) {
    return Stamp(A, CX - ArtWidth(A) / 2, CY - int(A.size()) / 2);
  }
};

// ---- the cursors ---------------------------------------------------------------

struct CursorDef {
  const char* Name;
  Art Pixels;
  int HotX, HotY;
};

// Directions of the panning arrows, as quarter turns from up.
enum { Up = 0, Right = 1, Down = 2, Left = 3 };

// The panning dot with arrow heads towards the given directions.
Art PanCursor(std::initializer_list<int> Directions) {
  Canvas C(kCursorSize);
  C.StampCentred(kPanDot, kCentre, kCentre);
  const int reach = 9;  // from the centre to the middle of an arrow head
  for (int d : Directions) {
    static const int dx[] = {0, 1, 0, -1}, dy[] = {-1, 0, 1, 0};
    C.StampCentred(Turned(kPanArrowUp, d), kCentre + dx[d] * reach, kCentre + dy[d] * reach);
  }
  return C.Rows;
}

// The arrow with a sign at its lower right.
Art ArrowWith(const Art& Sign, int X, int Y) {
  Canvas C(kCursorSize);
  C.Stamp(kArrow, 0, 0).Stamp(Sign, X, Y);
  return C.Rows;
}

Art MultiDrag() {
  Canvas C(kCursorSize);
  C.Stamp(kArrow, 0, 0);
  for (int i = 0; i < 3; ++i) C.Stamp(kDocument, 16 - 2 * i, 15 + 3 * i);  // back to front
  return C.Rows;
}

Art Centred(const Art& A) {
  Canvas C(kCursorSize);
  C.StampCentred(A, kCentre, kCentre);
  return C.Rows;
}

std::vector<CursorDef> Cursors() {
  return {
      {"UX_DRAGCOPYCURSOR", ArrowWith(kPlusBox, 12, 17), 0, 0},
      {"UX_FULLSCROLLCURSOR", PanCursor({Up, Right, Down, Left}), kCentre, kCentre},
      {"UX_HORSCROLLCURSOR", PanCursor({Left, Right}), kCentre, kCentre},
      {"UX_VERSCROLLCURSOR", PanCursor({Up, Down}), kCentre, kCentre},
      {"UX_UPSCROLLCURSOR", PanCursor({Up}), kCentre, kCentre},
      {"UX_RIGHTSCROLLCURSOR", PanCursor({Right}), kCentre, kCentre},
      {"UX_DOWNSCROLLCURSOR", PanCursor({Down}), kCentre, kCentre},
      {"UX_LEFTSCROLLCURSOR", PanCursor({Left}), kCentre, kCentre},
      {"UX_REMOVECURSOR", ArrowWith(kCross, 12, 17), 0, 0},
      {"UX_VERTSIZECURSOR", Centred(kVertSize), kCentre, kCentre},
      {"UX_HORZSIZECURSOR", Centred(Turned(kVertSize, 1)), kCentre, kCentre},
      {"UX_MULTIDRAGCURSOR", MultiDrag(), 0, 0},
      {"UX_NODROPCURSOR", Centred(kNoDrop), kCentre, kCentre},
      {"UX_DRAGCURSOR", ArrowWith(kDocument, 12, 18), 0, 0},
      // The tree views' drag-copy cursor.
      {"KXTREEDRAGCOPY", ArrowWith(kPlusBox, 12, 17), 0, 0},
      // The bar library's customize drag: move, copy, no drop.
      {"KXBARDRAGCURSOR", ArrowWith(kDocument, 12, 18), 0, 0},
      {"KXBARDRAGCOPYCURSOR", ArrowWith(kPlusBox, 12, 17), 0, 0},
      {"KXBARDRAGNODROPCURSOR", Centred(kNoDrop), kCentre, kCentre},
  };
}

// ---- the panning markers -------------------------------------------------------

struct MarkerDef {
  const char* Name;
  bool H, V;
};

const MarkerDef kMarkers[] = {
    {"UX_FULLSCROLLBITMAP", true, true},
    {"UX_HORSCROLLBITMAP", true, false},
    {"UX_VERSCROLLBITMAP", false, true},
};

// The marker's black parts: the dot and arrow heads near the rim.
Art MarkerArt(const MarkerDef& M) {
  Canvas C(kMarkerSize);
  const int m = kMarkerSize / 2;
  C.StampCentred(kMarkerDot, m, m);
  const int reach = m - 5;  // from the centre to the middle of an arrow head
  if (M.V) {
    C.StampCentred(Turned(kMarkerArrowUp, Up), m, m - reach);
    C.StampCentred(Turned(kMarkerArrowUp, Down), m, m + reach);
  }
  if (M.H) {
    C.StampCentred(Turned(kMarkerArrowUp, Left), m - reach, m);
    C.StampCentred(Turned(kMarkerArrowUp, Right), m + reach, m);
  }
  return C.Rows;
}

// ---- file formats --------------------------------------------------------------

void Put16(std::vector<std::uint8_t>& B, unsigned V) {
  B.push_back(std::uint8_t(V));
  B.push_back(std::uint8_t(V >> 8));
}
void Put32(std::vector<std::uint8_t>& B, std::uint32_t V) {
  Put16(B, V & 0xFFFF);
  Put16(B, V >> 16);
}

void Check(const Art& A, int Size, const std::string& Legend, const char* Name) {
  if (int(A.size()) != Size || ArtWidth(A) != Size) throw std::runtime_error(std::string(Name) + ": wrong size");
  for (const std::string& r : A)
    for (char c : r)
      if (Legend.find(c) == std::string::npos) throw std::runtime_error(std::string(Name) + ": unknown pixel character");
}

// A cursor file with one 32x32 image of one bit a pixel: the colour plane
// (0 black, 1 white) and the AND mask (1 transparent), both bottom-up.
std::vector<std::uint8_t> CursorFile(const CursorDef& C) {
  Check(C.Pixels, kCursorSize, ".#-", C.Name);
  if (C.HotX < 0 || C.HotX >= kCursorSize || C.HotY < 0 || C.HotY >= kCursorSize ||
      C.Pixels[C.HotY][C.HotX] == '.')
    throw std::runtime_error(std::string(C.Name) + ": the hot spot is not on the picture");
  const int rowBytes = kCursorSize / 8;
  const std::uint32_t imageBytes = 40 + 2 * 4 + 2 * rowBytes * kCursorSize;
  std::vector<std::uint8_t> B;
  Put16(B, 0);  // directory: reserved, type 2 (cursor), one image
  Put16(B, 2);
  Put16(B, 1);
  B.push_back(kCursorSize);
  B.push_back(kCursorSize);
  B.push_back(2);  // colours
  B.push_back(0);
  Put16(B, unsigned(C.HotX));
  Put16(B, unsigned(C.HotY));
  Put32(B, imageBytes);
  Put32(B, 22);  // the image follows the directory
  Put32(B, 40);  // info header; the height counts both planes
  Put32(B, kCursorSize);
  Put32(B, 2 * kCursorSize);
  Put16(B, 1);
  Put16(B, 1);
  Put32(B, 0);
  Put32(B, 2 * rowBytes * kCursorSize);
  Put32(B, 0);
  Put32(B, 0);
  Put32(B, 2);
  Put32(B, 0);
  Put32(B, 0x000000);  // palette: black, white
  Put32(B, 0xFFFFFF);
  for (int plane = 0; plane < 2; ++plane)
    for (int y = kCursorSize - 1; y >= 0; --y)
      for (int x0 = 0; x0 < kCursorSize; x0 += 8) {
        std::uint8_t bits = 0;
        for (int x = x0; x < x0 + 8; ++x) {
          char c = C.Pixels[y][x];
          bool on = plane == 0 ? c == '-' : c == '.';
          if (on) bits |= std::uint8_t(0x80 >> (x - x0));
        }
        B.push_back(bits);
      }
  return B;
}

// A 24-bit bitmap file of the marker: a grey disc filling the square, white
// outside it, the black parts of the table on top. The window showing the
// marker is cut to an ellipse one pixel larger than the bitmap, half a pixel
// off its centre; the disc covers that ellipse too, so no white shows inside.
std::vector<std::uint8_t> MarkerFile(const MarkerDef& M) {
  Art A = MarkerArt(M);
  Check(A, kMarkerSize, ".#", M.Name);
  const std::uint32_t white = 0xFFFFFF, grey = 0xC0C0C0, black = 0;
  const double c = (kMarkerSize - 1) / 2.0, r = kMarkerSize / 2.0, we = (kMarkerSize + 1) / 2.0;
  const int rowBytes = (kMarkerSize * 3 + 3) & ~3;
  const std::uint32_t pixelBytes = std::uint32_t(rowBytes) * kMarkerSize;
  std::vector<std::uint8_t> B;
  B.push_back('B');
  B.push_back('M');
  Put32(B, 14 + 40 + pixelBytes);
  Put32(B, 0);
  Put32(B, 14 + 40);
  Put32(B, 40);
  Put32(B, kMarkerSize);
  Put32(B, kMarkerSize);
  Put16(B, 1);
  Put16(B, 24);
  Put32(B, 0);
  Put32(B, pixelBytes);
  Put32(B, 2835);  // 72 per inch
  Put32(B, 2835);
  Put32(B, 0);
  Put32(B, 0);
  for (int y = kMarkerSize - 1; y >= 0; --y) {
    for (int x = 0; x < kMarkerSize; ++x) {
      bool inDisc = std::hypot(x - c, y - c) <= r || std::hypot(x + 0.5 - we, y + 0.5 - we) <= we;
      std::uint32_t px = A[y][x] == '#' ? black : inDisc ? grey : white;
      B.push_back(std::uint8_t(px));
      B.push_back(std::uint8_t(px >> 8));
      B.push_back(std::uint8_t(px >> 16));
    }
    for (int k = kMarkerSize * 3; k < rowBytes; ++k) B.push_back(0);
  }
  return B;
}

void Write(const std::filesystem::path& P, const std::vector<std::uint8_t>& B) {
  std::ofstream Out(P, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(B.data()), std::streamsize(B.size()));
  if (!Out) throw std::runtime_error("cannot write " + P.string());
  std::printf("%s\n", P.string().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkcursors <source root>\n");
    return 2;
  }
  try {
    const std::filesystem::path root = std::filesystem::path(argv[1]) / "resources";
    if (!std::filesystem::is_directory(root)) throw std::runtime_error("no resources folder in " + std::string(argv[1]));
    std::filesystem::create_directories(root / "cursors");
    std::filesystem::create_directories(root / "bitmaps");
    for (const CursorDef& C : Cursors()) Write(root / "cursors" / (std::string(C.Name) + ".cur"), CursorFile(C));
    for (const MarkerDef& M : kMarkers) Write(root / "bitmaps" / (std::string(M.Name) + ".bmp"), MarkerFile(M));
  } catch (const std::exception& E) {
    std::fprintf(stderr, "mkcursors: %s\n", E.what());
    return 1;
  }
  return 0;
}
