#include "shell/icons/ImageList.h"

#include "shell/icons/ShellResources.h"

ImageList ImageList::builtIn()
{
    ShellResources::init();
    // Positions as the toolbar asks for them: 1 monitor off, 2 on, 3 save, 5 auxiliary,
    // 6 options, 22 zones, 23 cameras, 24 meters, 25 scenarios. The rest stay empty.
    static const struct
    {
        int position;
        const char *name;
    } pictures[] = {{1, "monitor-off"}, {2, "monitor-on"}, {3, "save"},     {5, "aux"},      {6, "options"},
                    {22, "probe"},      {23, "camera"},    {24, "meters"},  {25, "scenarios"}};
    ImageList list;
    for (int n = 1; n <= 25; ++n) {
        QString name;
        for (const auto &p : pictures)
            if (p.position == n)
                name = QString::fromLatin1(p.name);
        list.add(name, name.isEmpty() ? QIcon() : ShellResources::icon(name));
    }
    return list;
}
