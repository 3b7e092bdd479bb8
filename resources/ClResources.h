#pragma once

// Registers the resources compiled into kd4_resources (pictures, licence text, translation
// catalogues). A static library's resources are only linked in when something asks for them, so
// main() and every test that loads ":/..." paths calls this once first.
class ClResources
{
public:
    static void init();
};
