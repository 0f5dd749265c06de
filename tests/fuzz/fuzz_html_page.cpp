// Pages are whatever HTML (or other text) lies in the user's folders: loading
// one and asking for its title, sound, movies, pictures and marks gives an
// answer or a named page error, and the rewrites that parse the page file
// again (marks, script numbers, title) finish as well.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "lib/Collection.h"
#include "lib/VezorError.h"
#include "lib/cls_PropertyHTML.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses how the page is treated; the rest is the file.
    const std::uint8_t mode = data[0];
    const std::string name = (mode & 1) ? "page.htm" : "page.txt";
    writeFuzzFile(name, data + 1, size - 1);
    MemoryBudget budget(size, 64);

    cls_PropertyHTML page;
    page.Load(name);
    if (!page.FailHTMLLoad()) return 0;
    FUZZ_CHECK(page.TextHTML().size() <= 2 * size + 15001);
    try {
        (void)page.Titul();
    } catch (const PageTextError&) {
    }
    (void)page.Sound();
    (void)page.Flash();
    FUZZ_CHECK(page.FlashKol() == page.FlashCollection().Count());
    FUZZ_CHECK(page.PictureKol() == page.PictureCollection().Count());
    Collection<std::string> marks;
    page.MetkaRead(marks);
    Collection<std::string> meta;
    page.ReadFailPoMetaTeg("content=", meta);
    (void)page.FindStroka("<body");

    if ((mode & 6) != 0) return 0;
    // A quarter of the inputs also go through the rewrites that read the file.
    try {
        page.MetkaDel(marks.empty() ? std::string("x") : marks.Item(1));
        std::string java = "a\\b.htm";
        int x = 0;
        int y = 0;
        page.InsertJava(java, x, y);
        page.setTitul("T");
    } catch (const PageFileError&) {
    }
    return 0;
}
