import { defineConfig } from "vite";

// One script and one style sheet under fixed names, so that the program embeds them by name.
export default defineConfig({
  base: "/",
  build: {
    assetsInlineLimit: 0,
    modulePreload: false,
    rollupOptions: {
      output: {
        entryFileNames: "assets/page.js",
        chunkFileNames: "assets/page-[name].js",
        assetFileNames: "assets/page[extname]",
      },
    },
  },
});
